// Keys and values of a TextHashTable.
//
// An item is a signed 32-bit integer, a text (code page 936 bytes, ended by
// its first zero byte) or a byte array (any bytes, zero bytes included). A
// table fixes the kind of its keys and of its values when it is made.
//
// `Item` owns its contents and is what the table hands out. `ItemView`
// borrows them and is what the table takes in: it is cheap to make, so a
// lookup with a text key copies nothing. The caller keeps the viewed bytes
// alive while the view is in use.
//
// Both are plain values; any thread may use its own.
#pragma once

#include <concepts>
#include <cstdint>
#include <span>
#include <string_view>
#include <variant>

#include "app/text/text.h"

namespace hashtable {

// The numbers are also written into the table's byte form.
enum class ItemKind : int32_t { kInteger = 3, kText = 10, kBytes = 11 };

bool IsItemKind(int32_t code);

// Alternatives in the order integer, text, byte array.
using Item = std::variant<int32_t, text::Text, text::ByteArray>;

ItemKind KindOf(const Item& item);

class ItemView {
 public:
  ItemView(int32_t integer) : kind_(ItemKind::kInteger), integer_(integer) {}
  // A text holds its bytes up to its first zero byte.
  ItemView(std::string_view text) : kind_(ItemKind::kText), bytes_(text.substr(0, text.find('\0'))) {}
  ItemView(const char* text) : ItemView(std::string_view(text)) {}
  ItemView(const text::Text& text) : ItemView(std::string_view(text)) {}
  ItemView(std::span<const uint8_t> bytes)
      : kind_(ItemKind::kBytes), bytes_(reinterpret_cast<const char*>(bytes.data()), bytes.size()) {}
  ItemView(const text::ByteArray& bytes) : ItemView(std::span<const uint8_t>(bytes)) {}
  // Only an Item itself, so that a text literal never becomes one first.
  template <std::same_as<Item> T>
  ItemView(const T& item) : ItemView(ViewOf(item)) {}
  // A text or byte array of exactly these bytes.
  static ItemView OfBytes(ItemKind kind, std::string_view bytes) { return ItemView(kind, bytes); }

  ItemKind kind() const { return kind_; }
  int32_t integer() const { return integer_; }
  // The bytes of a text or byte array.
  std::string_view bytes() const { return bytes_; }

 private:
  ItemView(ItemKind kind, std::string_view bytes) : kind_(kind), bytes_(bytes) {}
  static ItemView ViewOf(const Item& item);

  ItemKind kind_;
  int32_t integer_ = 0;
  std::string_view bytes_;
};

// Equal kinds and equal contents: integers by value, texts and byte arrays
// by identical bytes.
bool SameItem(const ItemView& a, const ItemView& b);

// An owned copy of the viewed item.
Item CopyOf(const ItemView& view);

// The empty value of a kind: 0, the empty text or the empty byte array.
Item EmptyItem(ItemKind kind);

}  // namespace hashtable
