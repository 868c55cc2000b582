// JsonText: an owned run of UTF-16 code units, the form of every key, string
// and literal inside a JSON tree.
//
// It takes the room of one pointer. Texts of up to kInlineUnits units that
// all lie below U+0100 (most keys, number literals, "null", "true", "false")
// are kept inside that room; longer texts live in one heap block holding the
// length and the units. The absent text and the empty text are one value.
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
  static constexpr size_t kInlineUnits = sizeof(uintptr_t) - 1;
  // Room for the units of an inline text while it is looked at.
  using Scratch = std::array<char16_t, kInlineUnits>;

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
  size_t Size() const;
  // The units, viewed in place or through `scratch`; valid while both live
  // and the text is unchanged.
  std::u16string_view View(Scratch& scratch) const;
  bool Equals(std::u16string_view units) const;

 private:
  struct Block {
    uint32_t length;
    char16_t units[1];
  };
  static constexpr uintptr_t kInlineTag = 1;

  bool IsInline() const { return (bits_ & kInlineTag) != 0; }
  const Block* HeapBlock() const { return reinterpret_cast<const Block*>(bits_); }

  // Inline layout: bit 0 set, bits 1-3 the length, byte k+1 unit k.
  uintptr_t bits_ = 0;
};

}  // namespace json
