#include "app/hashtable/text_hash_table.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace hashtable {
namespace {

using namespace std::string_view_literals;
using Items = std::vector<Item>;

Items TextItems(std::initializer_list<const char*> texts) {
  Items items;
  for (const char* t : texts) items.emplace_back(text::Text(t));
  return items;
}

Items KeysOf(const TextHashTable& table) {
  Items keys;
  table.Keys(&keys);
  return keys;
}

TextHashTable TextTable(std::optional<int32_t> capacity = std::nullopt) {
  TextHashTable table;
  EXPECT_TRUE(table.Create(ItemKind::kText, ItemKind::kText, capacity));
  return table;
}

TEST(TextHashTable, SetReplacesAndGetCopiesOut) {
  TextHashTable table = TextTable();
  EXPECT_EQ(table.Set("a", "x"), 0);
  EXPECT_EQ(table.Set("a", "y"), 1);
  EXPECT_EQ(table.Count(), 1);
  EXPECT_EQ(table.GetText("a"), "y");
  EXPECT_EQ(table.Get("a"sv), Item(text::Text("y")));
  EXPECT_EQ(table.GetText("never set"), "");
  EXPECT_EQ(table.Get("never set"sv), Item(text::Text()));
  EXPECT_TRUE(table.ContainsKey("a"sv));
  EXPECT_FALSE(table.ContainsKey("b"sv));
  EXPECT_TRUE(table.ContainsValue("y"sv));
  EXPECT_FALSE(table.ContainsValue("x"sv));
}

TEST(TextHashTable, EveryOperationWithoutStorageDoesNothing) {
  TextHashTable table;
  EXPECT_EQ(table.Set("a", "x"), -1);
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.Capacity(), 0);
  EXPECT_EQ(table.Get("a"sv), Item(int32_t{0}));
  EXPECT_EQ(table.GetText("a"), "");
  EXPECT_FALSE(table.ContainsKey("a"sv));
  EXPECT_FALSE(table.ContainsValue("x"sv));
  EXPECT_FALSE(table.Remove("a"sv));
  Items kept = TextItems({"kept"});
  EXPECT_EQ(table.Keys(&kept), 0);
  EXPECT_EQ(table.Values(&kept), 0);
  EXPECT_EQ(kept, TextItems({"kept"}));
  EXPECT_TRUE(table.ToBytes().empty());
  TableStorage* handle = reinterpret_cast<TableStorage*>(&table);
  EXPECT_FALSE(table.QueryInterface(InterfaceId{}, &handle));
  EXPECT_EQ(handle, nullptr);
  table.Clear();

  ASSERT_TRUE(table.Create(ItemKind::kText, ItemKind::kText));
  table.Free();
  EXPECT_EQ(table.Set("a", "x"), -1);
}

// Keys whose buckets collide among 23 buckets ("\xCE\xC4" is GBK for a
// Chinese character, hashed by its bytes as unsigned values).
TEST(TextHashTable, GrowsAtTheThresholdAndKeepsStorageOrder) {
  TextHashTable table = TextTable();
  const char* keys[] = {"beta", "zeta", "omega", "kappa", "\xCE\xC4", "lambda", "rho", "chi", "psi"};
  for (int i = 0; i < 8; ++i) ASSERT_EQ(table.Set(keys[i], "v"), 0);
  EXPECT_EQ(table.Capacity(), 11);
  EXPECT_EQ(KeysOf(table), TextItems({"omega", "beta", "kappa", "\xCE\xC4", "chi", "rho", "lambda", "zeta"}));

  ASSERT_EQ(table.Set(keys[8], "v"), 0);
  EXPECT_EQ(table.Capacity(), 23);
  EXPECT_EQ(KeysOf(table),
            TextItems({"\xCE\xC4", "beta", "omega", "psi", "rho", "chi", "zeta", "lambda", "kappa"}));

  for (int i = 0; i < 8; ++i) table.Set("k" + std::to_string(i), "v");
  EXPECT_EQ(table.Capacity(), 23);
  table.Set("k8", "v");
  EXPECT_EQ(table.Capacity(), 47);
  EXPECT_EQ(KeysOf(table), TextItems({"\xCE\xC4", "chi", "beta", "psi", "omega", "lambda", "kappa", "zeta", "k0",
                                      "k1", "k2", "k3", "k4", "k5", "k6", "k7", "k8", "rho"}));
  for (const char* key : keys) EXPECT_EQ(table.GetText(key), "v") << key;
}

TEST(TextHashTable, BucketIsTheHashWithoutItsSignBit) {
  // "zzzzzzzz" hashes to -1910022912: bucket 2 of 7 once the sign bit is
  // cleared; "negative" goes to bucket 1, "hashtable" to 6.
  TextHashTable texts = TextTable(7);
  for (const char* key : {"hashtable", "zzzzzzzz", "negative"}) texts.Set(key, "");
  EXPECT_EQ(KeysOf(texts), TextItems({"negative", "zzzzzzzz", "hashtable"}));

  // An integer is its own hash: -2 lands in bucket 0 of 7, before 1.
  TextHashTable integers;
  ASSERT_TRUE(integers.Create(ItemKind::kInteger, ItemKind::kInteger, 7));
  for (int32_t key : {0, 1, -2}) integers.Set(key, key * 10);
  EXPECT_EQ(KeysOf(integers), (Items{int32_t{-2}, int32_t{0}, int32_t{1}}));
  EXPECT_EQ(integers.Get(-2), Item(int32_t{-20}));
}

TEST(TextHashTable, KeysAndValuesOfEveryKind) {
  const text::ByteArray blob = {0, 1, 0, 255};
  struct Case {
    ItemKind key_kind, value_kind;
    Item key, value, other_value;
  } cases[] = {
      {ItemKind::kInteger, ItemKind::kInteger, int32_t{-7}, int32_t{INT32_MIN}, int32_t{0}},
      {ItemKind::kInteger, ItemKind::kText, int32_t{42}, text::Text("\xD6\xD0"), text::Text("")},
      {ItemKind::kText, ItemKind::kBytes, text::Text(""), blob, text::ByteArray()},
      {ItemKind::kBytes, ItemKind::kInteger, blob, int32_t{5}, int32_t{6}},
      {ItemKind::kBytes, ItemKind::kBytes, text::ByteArray(), text::ByteArray(), blob},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << static_cast<int>(c.key_kind) << "->" << static_cast<int>(c.value_kind));
    TextHashTable table;
    ASSERT_TRUE(table.Create(c.key_kind, c.value_kind));
    EXPECT_EQ(table.Get(c.key), EmptyItem(c.value_kind));
    EXPECT_EQ(table.Set(c.key, c.value), 0);
    EXPECT_EQ(table.Get(c.key), c.value);
    EXPECT_TRUE(table.ContainsKey(c.key));
    EXPECT_TRUE(table.ContainsValue(c.value));
    EXPECT_FALSE(table.ContainsValue(c.other_value));
    Items values;
    EXPECT_EQ(table.Values(&values), 1);
    EXPECT_EQ(values, Items{c.value});
    EXPECT_EQ(table.Set(c.key, c.other_value), 1);
    EXPECT_EQ(table.Get(c.key), c.other_value);
    EXPECT_TRUE(table.Remove(c.key));
    EXPECT_FALSE(table.ContainsKey(c.key));
    EXPECT_EQ(table.Count(), 0);
  }
}

TEST(TextHashTable, ByteArrayKeysDifferingOnlyInLengthAreDistinct) {
  TextHashTable table;
  ASSERT_TRUE(table.Create(ItemKind::kBytes, ItemKind::kInteger));
  // {0} and {0, 0} both hash to 0.
  table.Set(text::ByteArray{0}, 1);
  table.Set(text::ByteArray{0, 0}, 2);
  table.Set(text::ByteArray{}, 3);
  EXPECT_EQ(table.Count(), 3);
  EXPECT_EQ(table.Get(text::ByteArray{0, 0}), Item(int32_t{2}));
}

TEST(TextHashTable, ItemsOfTheWrongKindAreRefused) {
  TextHashTable table = TextTable();
  EXPECT_EQ(table.Set(1, "x"sv), -1);
  EXPECT_EQ(table.Set("k"sv, text::ByteArray{1}), -1);
  EXPECT_EQ(table.Count(), 0);
  table.Set("1", "x");
  EXPECT_EQ(table.Get(1), Item(text::Text()));
  EXPECT_FALSE(table.ContainsKey(1));
  EXPECT_FALSE(table.ContainsValue(text::ByteArray{'x'}));
  EXPECT_FALSE(table.Remove(1));
  EXPECT_EQ(table.Count(), 1);

  TextHashTable bytes_valued;
  ASSERT_TRUE(bytes_valued.Create(ItemKind::kText, ItemKind::kBytes));
  bytes_valued.Set("k"sv, text::ByteArray{'v'});
  EXPECT_EQ(bytes_valued.GetText("k"), "");
}

TEST(TextHashTable, ATextEndsAtItsFirstZeroByte) {
  TextHashTable table = TextTable();
  EXPECT_EQ(table.Set("key\0tail"sv, "value\0tail"sv), 0);
  EXPECT_EQ(table.Set("key", "value"), 1);
  EXPECT_EQ(table.GetText("key\0other"sv), "value");
  EXPECT_EQ(KeysOf(table), TextItems({"key"}));
}

TEST(TextHashTable, RemoveAndClearKeepTheCapacity) {
  TextHashTable table = TextTable();
  for (int i = 0; i < 20; ++i) table.Set("k" + std::to_string(i), std::string(i * 40, 'v'));
  int32_t capacity = table.Capacity();
  EXPECT_TRUE(table.Remove("k3"sv));
  EXPECT_FALSE(table.Remove("k3"sv));
  EXPECT_EQ(table.Count(), 19);
  EXPECT_EQ(table.GetText("k4"), std::string(160, 'v'));
  EXPECT_EQ(table.Capacity(), capacity);

  table.Clear();
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.Capacity(), capacity);
  EXPECT_TRUE(KeysOf(table).empty());
  EXPECT_EQ(table.GetText("k4"), "");
  // Reuses the released pieces.
  for (int i = 0; i < 20; ++i) EXPECT_EQ(table.Set("k" + std::to_string(i), "again"), 0);
  EXPECT_EQ(table.Capacity(), capacity);
  EXPECT_EQ(table.GetText("k19"), "again");
}

TEST(TextHashTable, LargeValuesLiveInTheArenaToo) {
  TextHashTable table = TextTable();
  const std::string big(1 << 20, 'x');
  for (int i = 0; i < 5; ++i) table.Set("k" + std::to_string(i), big + std::to_string(i));
  table.Set("k2", "small");
  EXPECT_TRUE(table.Remove("k3"sv));
  EXPECT_EQ(table.GetText("k4"), big + "4");
  EXPECT_EQ(table.GetText("k2"), "small");
}

TEST(TextHashTable, FailedCreateKeepsTheOldStorage) {
  TextHashTable table = TextTable();
  table.Set("a", "x");
  EXPECT_FALSE(table.Create(ItemKind::kText, ItemKind::kText, -1));
  EXPECT_FALSE(table.Create(ItemKind::kText, ItemKind::kText, 11, 0.0f));
  EXPECT_FALSE(table.Create(ItemKind::kText, ItemKind::kText, 11, 0.0000001f));
  EXPECT_FALSE(table.Create(ItemKind::kText, ItemKind::kText, 11, -1.0f));
  EXPECT_FALSE(table.Create(ItemKind::kText, ItemKind::kText, 11, std::nanf("")));
  EXPECT_FALSE(table.Create(static_cast<ItemKind>(4), ItemKind::kText));
  EXPECT_EQ(table.GetText("a"), "x");
  EXPECT_EQ(table.Set("b", "y"), 0);
  EXPECT_EQ(table.Count(), 2);

  EXPECT_TRUE(table.Create(ItemKind::kInteger, ItemKind::kInteger, 3, 2.0f));
  EXPECT_EQ(table.Count(), 0);
  EXPECT_EQ(table.Capacity(), 3);
}

TEST(TextHashTable, CapacityZeroFindsNothingAndGrowsOnFirstSet) {
  TextHashTable table = TextTable(0);
  EXPECT_EQ(table.Capacity(), 0);
  EXPECT_EQ(table.GetText("a"), "");
  EXPECT_FALSE(table.ContainsKey("a"sv));
  EXPECT_FALSE(table.Remove("a"sv));
  EXPECT_TRUE(KeysOf(table).empty());
  table.Clear();
  EXPECT_EQ(table.ToBytes().size(), 16u);

  EXPECT_EQ(table.Set("a", "x"), 0);
  EXPECT_EQ(table.Capacity(), 1);
  EXPECT_EQ(table.Set("b", "y"), 0);
  EXPECT_EQ(table.Capacity(), 3);
  EXPECT_EQ(table.GetText("a"), "x");
  EXPECT_EQ(table.GetText("b"), "y");
}

TEST(TextHashTable, HugeLoadFactorNeverGrows) {
  TextHashTable table;
  ASSERT_TRUE(table.Create(ItemKind::kInteger, ItemKind::kInteger, 2, std::numeric_limits<float>::infinity()));
  for (int32_t i = 0; i < 100; ++i) ASSERT_EQ(table.Set(i, i), 0);
  EXPECT_EQ(table.Capacity(), 2);
  EXPECT_EQ(table.Get(77), Item(int32_t{77}));
}

TEST(TextHashTable, CopiesShareStorageUntilTheLastGoes) {
  TextHashTable first = TextTable();
  TextHashTable second = first;
  first.Set("a", "x");
  EXPECT_EQ(second.GetText("a"), "x");
  second.Set("b", "y");
  EXPECT_EQ(first.Count(), 2);

  TableStorage* handle = nullptr;
  ASSERT_TRUE(first.QueryInterface(InterfaceId{{1, 2, 3}}, &handle));
  TableStorage* same = nullptr;
  ASSERT_TRUE(second.QueryInterface(InterfaceId{}, &same));
  EXPECT_EQ(handle, same);
  TableStorage* asked = nullptr;
  EXPECT_TRUE(handle->QueryInterface(InterfaceId{{9}}, &asked));
  EXPECT_EQ(asked, handle);
  EXPECT_EQ(handle->AddRef(), 3);
  EXPECT_EQ(handle->Release(), 2);

  first.Free();
  EXPECT_EQ(first.Count(), 0);
  EXPECT_EQ(second.GetText("b"), "y");
  first = second;
  EXPECT_EQ(handle->AddRef(), 3);
  EXPECT_EQ(handle->Release(), 2);

  // A table made anew no longer shares.
  ASSERT_TRUE(first.Create(ItemKind::kText, ItemKind::kText));
  EXPECT_EQ(first.Count(), 0);
  EXPECT_EQ(second.Count(), 2);
  EXPECT_EQ(handle->AddRef(), 2);
  EXPECT_EQ(handle->Release(), 1);
}

TEST(TextHashTable, CopiesMayBeDroppedOnManyThreads) {
  TextHashTable table = TextTable();
  for (int i = 0; i < 1000; ++i) table.Set(std::to_string(i), "v");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([copy = table]() mutable {
      for (int i = 0; i < 10000; ++i) {
        TextHashTable inner = copy;
        (void)inner;
      }
    });
  }
  table.Free();
  for (auto& thread : threads) thread.join();
}

// Under a small address-space limit the arena runs out of memory: the
// operations that needed it fail and the table stays whole. Runs in a child
// process so the limit binds nothing else.
void ExhaustTheArena() {
  const std::string value(1 << 20, 'v');
  text::ByteArray too_big;
  {
    TextHashTable source = TextTable();
    for (int i = 0; i < 96; ++i) source.Set(std::to_string(i), value);
    too_big = source.ToBytes();
  }
  TextHashTable table = TextTable();
  table.Set("kept", "value");
  struct rlimit limit {};
  getrlimit(RLIMIT_AS, &limit);
  long pages = 0;
  std::ifstream("/proc/self/statm") >> pages;
  limit.rlim_cur = static_cast<rlim_t>(pages) * 4096 + (64 << 20);
  if (setrlimit(RLIMIT_AS, &limit) != 0) std::exit(2);

  if (table.Create(ItemKind::kText, ItemKind::kText, INT32_MAX)) std::exit(3);
  if (table.LoadFromBytes(too_big)) std::exit(4);
  int32_t added = 0;
  const std::string key = "k";
  while (table.Set(key + std::to_string(added), value) == 0) ++added;
  if (added == 0 || added > 64 || table.Count() != added + 1) std::exit(5);
  if (table.Set("kept", value) != -1 || table.GetText("kept") != "value") std::exit(6);
  if (!table.Remove("k0"sv) || table.Set("after", value) != 0) std::exit(7);
  std::exit(0);
}

#if defined(__SANITIZE_ADDRESS__)
#define QXTXT_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QXTXT_ADDRESS_SANITIZER 1
#endif
#endif

TEST(TextHashTableDeathTest, RunningOutOfMemoryFailsTheOperation) {
#ifdef QXTXT_ADDRESS_SANITIZER
  GTEST_SKIP() << "the address sanitizer reserves more address space than the limit allows";
#endif
  EXPECT_EXIT(ExhaustTheArena(), testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace hashtable
