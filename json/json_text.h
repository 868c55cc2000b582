// JsonText: an owned run of UTF-16 code units, the form of every key, string
// and literal inside a JSON tree.
//
// It takes the room of one 64-bit word. Short texts live inside that word:
// up to 7 units below U+0100 (most keys, "null", "true", "false"), up to 3
// units of any value (short Chinese words), or up to 14 units of a number
// text (digits, ".", "+", "-", "e", "E", space). Longer texts live in one
// heap block holding the length and the units. The absent text and the empty
// text are one value.
//
// Contract: not copyable (a tree owns each of its texts once); movable. Any
// thread may use a JsonText that no other thread uses at the same time.
// Assign reports allocation failure by returning false and leaving the text
// absent; nothing here throws.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace json {

class JsonText {
 public:
  // Room for the units of an inline text while it is looked at.
  using Scratch = std::array<char16_t, 14>;

  JsonText() = default;
  ~JsonText() { Free(); }
  JsonText(const JsonText&) = delete;
  JsonText& operator=(const JsonText&) = delete;
  JsonText(JsonText&& other) noexcept : bits_(other.bits_) { other.bits_ = 0; }
  JsonText& operator=(JsonText&& other) noexcept;

  // Replaces the text by a copy of `units`; false when memory runs out.
  bool Assign(std::u16string_view units);
  void Free();

  bool Empty() const { return bits_ == 0; }
  // The units, viewed in place or through `scratch`; valid while both live
  // and the text is unchanged.
  std::u16string_view View(Scratch& scratch) const;
  bool Equals(std::u16string_view units) const;

 private:
  struct Block {
    uint32_t length;
    char16_t units[1];
  };
  // The low two bits tell the layout; a heap block's address has them clear.
  enum Tag : uint64_t { kHeap = 0, kNarrow = 1, kNumber = 2, kWide = 3 };

  Tag TagOf() const { return static_cast<Tag>(bits_ & 3); }
  const Block* HeapBlock() const { return reinterpret_cast<const Block*>(static_cast<uintptr_t>(bits_)); }

  uint64_t bits_ = 0;
};

}  // namespace json
