#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "app/hashtable/text_hash_table.h"

namespace hashtable {
namespace {

using namespace std::string_view_literals;
using text::ByteArray;

void Append(ByteArray* out, uint32_t word) {
  for (int i = 0; i < 4; ++i) out->push_back(static_cast<uint8_t>(word >> (8 * i)));
}

void Append(ByteArray* out, std::string_view bytes) { out->insert(out->end(), bytes.begin(), bytes.end()); }

// "hash", the kinds, the count, then the words and the data as given.
ByteArray Block(ItemKind key_kind, ItemKind value_kind, uint32_t count, std::initializer_list<uint32_t> words,
                std::string_view data = {}) {
  ByteArray block;
  Append(&block, "hash"sv);
  Append(&block, static_cast<uint32_t>(key_kind));
  Append(&block, static_cast<uint32_t>(value_kind));
  Append(&block, count);
  for (uint32_t word : words) Append(&block, word);
  Append(&block, data);
  return block;
}

constexpr ItemKind kInt = ItemKind::kInteger;
constexpr ItemKind kText = ItemKind::kText;
constexpr ItemKind kBytes = ItemKind::kBytes;

TEST(TableBytes, EmptyIntegerTableIsTheHeaderAlone) {
  TextHashTable table;
  ASSERT_TRUE(table.Create(kInt, kInt));
  EXPECT_EQ(table.ToBytes(), Block(kInt, kInt, 0, {}));
}

TEST(TableBytes, LayoutOfEntriesAndData) {
  TextHashTable texts;
  ASSERT_TRUE(texts.Create(kText, kBytes));
  texts.Set("b"sv, ByteArray{1, 2});
  texts.Set("a"sv, ByteArray{});
  // 'a' is in bucket 9 of 11, 'b' in bucket 10; the data starts at 32.
  EXPECT_EQ(texts.ToBytes(), Block(kText, kBytes, 2, {32, 34, 42, 44},
                                   "a\0" "\1\0\0\0" "\0\0\0\0" "b\0" "\1\0\0\0" "\2\0\0\0" "\1\2"sv));

  TextHashTable integers;
  ASSERT_TRUE(integers.Create(kInt, kText));
  integers.Set(-1, "\xD6\xD0"sv);
  // -1 goes to bucket 2147483647 % 11 = 1.
  integers.Set(0, "");
  EXPECT_EQ(integers.ToBytes(), Block(kInt, kText, 2, {0, 32, 0xffffffff, 33}, "\0\xD6\xD0\0"sv));
}

TEST(TableBytes, EveryKindRoundTrips) {
  const ItemKind kinds[] = {kInt, kText, kBytes};
  auto sample = [](ItemKind kind, int i) -> Item {
    std::string t = std::string(static_cast<size_t>(i % 5), '\xB0') + std::to_string(i);
    if (kind == kInt) return int32_t{i * 7919 - 50000};
    if (kind == kText) return t;
    return ByteArray(t.begin(), t.end());
  };
  for (ItemKind key_kind : kinds) {
    for (ItemKind value_kind : kinds) {
      SCOPED_TRACE(testing::Message() << static_cast<int>(key_kind) << "->" << static_cast<int>(value_kind));
      TextHashTable table;
      ASSERT_TRUE(table.Create(key_kind, value_kind));
      for (int i = 0; i < 30; ++i) table.Set(sample(key_kind, i), sample(value_kind, i + 1));
      TextHashTable loaded;
      ASSERT_TRUE(loaded.LoadFromBytes(table.ToBytes()));
      EXPECT_EQ(loaded.Count(), 30);
      EXPECT_EQ(loaded.Capacity(), 30 + 11);
      for (int i = 0; i < 30; ++i) EXPECT_EQ(loaded.Get(sample(key_kind, i)), sample(value_kind, i + 1));
      loaded.Set(sample(key_kind, 99), sample(value_kind, 99));
      EXPECT_EQ(loaded.Count(), 31);
    }
  }
}

TEST(TableBytes, RepeatedKeyKeepsItsLastValue) {
  TextHashTable table;
  ASSERT_TRUE(table.LoadFromBytes(Block(kText, kInt, 3, {40, 1, 42, 2, 40, 3}, "k\0j\0"sv)));
  EXPECT_EQ(table.Count(), 2);
  EXPECT_EQ(table.Get("k"sv), Item(int32_t{3}));
  EXPECT_EQ(table.Get("j"sv), Item(int32_t{2}));
}

TEST(TableBytes, ItemsMayShareOrSkipData) {
  // Readable data in an unusual layout is accepted: two entries on one text,
  // unused bytes between items.
  TextHashTable table;
  ASSERT_TRUE(table.LoadFromBytes(Block(kInt, kText, 2, {1, 34, 2, 34}, "xxtext\0"sv)));
  EXPECT_EQ(table.GetText(""), "");
  EXPECT_EQ(table.Get(1), Item(text::Text("text")));
  EXPECT_EQ(table.Get(2), Item(text::Text("text")));
}

TEST(TableBytes, MalformedDataIsRejectedAndChangesNothing) {
  ByteArray wrong_magic = Block(kInt, kInt, 0, {});
  wrong_magic[0] = 'H';
  struct Case {
    const char* what;
    ByteArray data;
  } cases[] = {
      {"empty", {}},
      {"short header", ByteArray{'h', 'a', 's', 'h', 3, 0, 0, 0, 3, 0, 0, 0, 0, 0, 0}},
      {"wrong magic", wrong_magic},
      {"unknown key kind", Block(static_cast<ItemKind>(4), kInt, 0, {})},
      {"unknown value kind", Block(kInt, static_cast<ItemKind>(0), 0, {})},
      {"negative count", Block(kInt, kInt, 0x80000000u, {})},
      {"count beyond the data", Block(kInt, kInt, 2, {1, 2, 3})},
      {"huge count", Block(kInt, kInt, 0x7fffffffu, {1, 2})},
      {"text offset past the end", Block(kText, kInt, 1, {26, 0}, "a\0"sv)},
      {"text offset at the end", Block(kText, kInt, 1, {26, 0}, ""sv)},
      {"text offset in the entry table", Block(kText, kInt, 1, {16, 0}, "a\0"sv)},
      {"text offset in the header", Block(kText, kInt, 1, {0, 0}, "a\0"sv)},
      {"text without terminator", Block(kInt, kText, 1, {0, 24}, "abc"sv)},
      {"huge text offset", Block(kInt, kText, 1, {0, 0xfffffff0u}, "a\0"sv)},
      {"bytes not led by 1", Block(kInt, kBytes, 1, {0, 24}, "\2\0\0\0\0\0\0\0"sv)},
      {"bytes prefix cut", Block(kInt, kBytes, 1, {0, 24}, "\1\0\0\0\0\0\0"sv)},
      {"bytes length beyond the data", Block(kInt, kBytes, 1, {0, 24}, "\1\0\0\0\3\0\0\0ab"sv)},
      {"bytes length wraps", Block(kInt, kBytes, 1, {0, 24}, "\1\0\0\0\xff\xff\xff\xff" "ab"sv)},
      {"second entry bad", Block(kText, kText, 2, {32, 34, 32, 99}, "a\0b\0"sv)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TextHashTable table;
    ASSERT_TRUE(table.Create(kText, kText));
    table.Set("kept", "value");
    // The data sits in a buffer of exactly its size, so a read beyond it is
    // caught by the address sanitizer.
    auto exact = std::make_unique<uint8_t[]>(c.data.size());
    std::memcpy(exact.get(), c.data.data(), c.data.size());
    EXPECT_FALSE(table.LoadFromBytes(std::span<const uint8_t>(exact.get(), c.data.size())));
    EXPECT_EQ(table.Count(), 1);
    EXPECT_EQ(table.GetText("kept"), "value");
  }
}

TEST(TableBytes, EveryCutOfAValidBlockIsRejected) {
  TextHashTable source;
  ASSERT_TRUE(source.Create(kBytes, kText));
  source.Set(ByteArray{1, 0, 2}, "\xD6\xD0\xCE\xC4"sv);
  source.Set(ByteArray{}, ""sv);
  source.Set(ByteArray{9}, "tail"sv);
  const ByteArray block = source.ToBytes();
  TextHashTable table;
  for (size_t size = 0; size < block.size(); ++size) {
    auto exact = std::make_unique<uint8_t[]>(size);
    std::memcpy(exact.get(), block.data(), size);
    EXPECT_FALSE(table.LoadFromBytes(std::span<const uint8_t>(exact.get(), size))) << size;
  }
  EXPECT_EQ(table.Count(), 0);
  EXPECT_TRUE(table.LoadFromBytes(block));
  EXPECT_EQ(table.Count(), 3);
  EXPECT_EQ(table.Get(ByteArray{1, 0, 2}), Item(text::Text("\xD6\xD0\xCE\xC4")));
}

}  // namespace
}  // namespace hashtable
