// TextHashTable against std::unordered_map<std::string, std::string> on the
// keyed merge's load: 1,000,000 text keys with line-sized text values, put in
// and looked up once each, and the table released at the end.
//
//   build/bench/hashtable/hashtable_bench --benchmark_min_time=1
#include <benchmark/benchmark.h>

#include <string>
#include <unordered_map>
#include <vector>

#include "app/hashtable/text_hash_table.h"

namespace {

constexpr int kEntries = 1'000'000;

struct Lines {
  std::vector<std::string> keys;
  std::vector<std::string> values;
};

// Keys as the merge sees them (a number-like first field), values a whole
// line of about 100 bytes with GBK and ASCII fields.
const Lines& MergeLines() {
  static const Lines lines = [] {
    Lines made;
    made.keys.reserve(kEntries);
    made.values.reserve(kEntries);
    uint32_t seed = 12345;
    for (uint32_t i = 0; i < kEntries; ++i) {
      seed = seed * 1103515245 + 12345;
      // Distinct numbers of six to seven digits in a scrambled order.
      std::string key = std::to_string(100000 + uint64_t{i} * 7919 % 9000011);
      std::string value = key + "----\xD5\xCB\xBA\xC5" + std::to_string(seed % 10000) +
                          "----" + std::string(64, static_cast<char>('a' + seed % 6)) + "----1" +
                          std::to_string(3000000000ull + seed % 1000000000u);
      made.keys.push_back(std::move(key));
      made.values.push_back(std::move(value));
    }
    return made;
  }();
  return lines;
}

// The merge sizes its table from the number of lines; `presized` false
// starts from the defaults and grows.
hashtable::TextHashTable FilledTable(bool presized) {
  const Lines& lines = MergeLines();
  hashtable::TextHashTable table;
  if (presized) table.Create(hashtable::ItemKind::kText, hashtable::ItemKind::kText, kEntries + 100);
  else table.Create(hashtable::ItemKind::kText, hashtable::ItemKind::kText);
  for (int i = 0; i < kEntries; ++i) table.Set(lines.keys[i], lines.values[i]);
  return table;
}

std::unordered_map<std::string, std::string> FilledMap(bool presized) {
  const Lines& lines = MergeLines();
  std::unordered_map<std::string, std::string> map;
  if (presized) map.reserve(kEntries + 100);
  for (int i = 0; i < kEntries; ++i) map[lines.keys[i]] = lines.values[i];
  return map;
}

void BM_TextHashTable_Set(benchmark::State& state) {
  MergeLines();
  for (auto _ : state) {
    hashtable::TextHashTable table = FilledTable(state.range(0) != 0);
    state.PauseTiming();
    table.Free();
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_UnorderedMap_Set(benchmark::State& state) {
  MergeLines();
  for (auto _ : state) {
    auto map = FilledMap(state.range(0) != 0);
    state.PauseTiming();
    map = {};
    state.ResumeTiming();
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}

// Lookups return a copy of the value, as the merge needs it.
void BM_TextHashTable_Get(benchmark::State& state) {
  const Lines& lines = MergeLines();
  hashtable::TextHashTable table = FilledTable(true);
  for (auto _ : state) {
    size_t bytes = 0;
    for (int i = 0; i < kEntries; ++i) bytes += table.GetText(lines.keys[i]).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_UnorderedMap_Get(benchmark::State& state) {
  const Lines& lines = MergeLines();
  auto map = FilledMap(true);
  for (auto _ : state) {
    size_t bytes = 0;
    for (int i = 0; i < kEntries; ++i) {
      auto found = map.find(lines.keys[i]);
      std::string value = found == map.end() ? std::string() : found->second;
      bytes += value.size();
    }
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_TextHashTable_Release(benchmark::State& state) {
  MergeLines();
  for (auto _ : state) {
    state.PauseTiming();
    hashtable::TextHashTable table = FilledTable(true);
    state.ResumeTiming();
    table.Free();
  }
}

void BM_UnorderedMap_Release(benchmark::State& state) {
  MergeLines();
  for (auto _ : state) {
    state.PauseTiming();
    auto map = FilledMap(true);
    state.ResumeTiming();
    map = {};
  }
}

BENCHMARK(BM_TextHashTable_Set)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMap_Set)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextHashTable_Get)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMap_Get)->Unit(benchmark::kMillisecond);
// Filling takes far longer than releasing: a few rounds are enough.
BENCHMARK(BM_TextHashTable_Release)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMap_Release)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
