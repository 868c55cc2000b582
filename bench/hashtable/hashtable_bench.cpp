// TextHashTable against std::unordered_map<std::string, std::string> on the
// keyed merge's load: 1,000,000 text keys with their whole lines as values,
// put in, looked up 1,000,000 times, and the table released at the end.
//
//   build/bench/hashtable/hashtable_bench --benchmark_min_time=1
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/hashtable/text_hash_table.h"
#include "bench/support/bench_support.h"

namespace {

constexpr int kEntries = 1'000'000;

// The keyed merge's load: text 2's lines under their first field, looked up
// with text 1's keys (about half of them found). `lookups_shuffled` holds
// the same keys in a random order, which defeats the cache help that
// consecutive number keys get from a multiply-by-31 hash.
struct Lines {
  bench::MergeInputs texts;
  std::vector<std::string_view> keys, values, lookups, lookups_shuffled;
};

std::string_view FirstField(std::string_view line) { return line.substr(0, line.find("----")); }

const Lines& MergeLines() {
  static const Lines lines = [] {
    Lines made;
    made.texts = bench::MakeMergeInputs(kEntries, 7);
    for (std::string_view line : text::LinesOf(made.texts.text2)) {
      made.keys.push_back(FirstField(line));
      made.values.push_back(line);
    }
    for (std::string_view line : text::LinesOf(made.texts.text1)) made.lookups.push_back(FirstField(line));
    made.lookups_shuffled = made.lookups;
    std::shuffle(made.lookups_shuffled.begin(), made.lookups_shuffled.end(), std::mt19937_64(7));
    return made;
  }();
  return lines;
}

const std::vector<std::string_view>& Lookups(const benchmark::State& state) {
  return state.range(0) != 0 ? MergeLines().lookups_shuffled : MergeLines().lookups;
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
  for (int i = 0; i < kEntries; ++i) map[std::string(lines.keys[i])] = lines.values[i];
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
  hashtable::TextHashTable table = FilledTable(true);
  for (auto _ : state) {
    size_t bytes = 0;
    for (std::string_view key : Lookups(state)) bytes += table.GetText(key).size();
    benchmark::DoNotOptimize(bytes);
  }
  state.SetItemsProcessed(state.iterations() * kEntries);
}

void BM_UnorderedMap_Get(benchmark::State& state) {
  auto map = FilledMap(true);
  std::string probe;
  for (auto _ : state) {
    size_t bytes = 0;
    for (std::string_view key : Lookups(state)) {
      probe.assign(key);
      auto found = map.find(probe);
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
BENCHMARK(BM_TextHashTable_Get)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMap_Get)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
// Filling takes far longer than releasing: a few rounds are enough.
BENCHMARK(BM_TextHashTable_Release)->Iterations(5)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UnorderedMap_Release)->Iterations(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
