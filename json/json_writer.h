// The JSON writer: turns a node and everything under it into JSON text.
//
// Compact layout has no spaces or line breaks at all. Pretty layout puts each
// object member on its own line (CR LF), indented by one TAB per level of
// object and array nesting around it, with the closing brace on its own line
// one level less; arrays stay on one line apart from the objects inside them.
// Numbers: a Real as "%.13g" spells it with an exponent of at least three
// digits (1e+013), an Integer in plain decimal. Raw values are written as
// they were read. With `escape`, keys and strings escape the double quote,
// the backslash and U+0008, U+0009, U+000A, U+000C, U+000D; nothing else,
// and no \u escape is ever written.
//
// Contract: WriteNode walks the tree without recursion, so any depth can be
// written. It reads the tree only. Running out of memory marks the builder
// failed (Failed()); nothing throws.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "json/json_node.h"

namespace json {

// A growing buffer of UTF-16 units, always followed by one zero unit. It
// starts with room for 12 bytes; an append that leaves less room than the
// new units plus the zero unit first grows it to twice its capacity plus the
// appended units plus one unit.
class TextBuilder {
 public:
  static constexpr size_t kInitialCapacityBytes = 12;

  TextBuilder() = default;
  ~TextBuilder();
  TextBuilder(const TextBuilder&) = delete;
  TextBuilder& operator=(const TextBuilder&) = delete;

  void Append(std::u16string_view units) {
    if (units.empty() || !Reserve(units.size())) return;
    std::memcpy(buffer_ + used_, units.data(), units.size() * sizeof(char16_t));
    used_ += units.size();
    buffer_[used_] = u'\0';
  }
  void Append(char16_t unit) { Append(std::u16string_view(&unit, 1)); }
  // Room for up to `units` more units, written through the returned pointer
  // and then ended with Commit; null when memory runs out.
  char16_t* Claim(size_t units) { return Reserve(units) ? buffer_ + used_ : nullptr; }
  void Commit(char16_t* end) {
    used_ = static_cast<size_t>(end - buffer_);
    buffer_[used_] = u'\0';
  }

  std::u16string_view View() const { return {buffer_, used_}; }
  size_t CapacityBytes() const { return capacity_bytes_; }
  bool Failed() const { return failed_; }
  void Fail() { failed_ = true; }

 private:
  bool Reserve(size_t units) {
    if (!failed_ && buffer_ != nullptr && (used_ + units + 1) * sizeof(char16_t) <= capacity_bytes_) return true;
    return Grow(units);
  }
  bool Grow(size_t units);

  char16_t* buffer_ = nullptr;  // made on the first append
  size_t capacity_bytes_ = kInitialCapacityBytes;
  size_t used_ = 0;  // units, not counting the zero unit
  bool failed_ = false;
};

void EscapeText(std::u16string_view text, TextBuilder& builder);
// Appends `node`'s JSON text; `depth` is the nesting level it stands at.
void WriteNode(const JsonNode* node, TextBuilder& builder, bool pretty, int depth, bool escape);

}  // namespace json
