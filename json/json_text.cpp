#include "json/json_text.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace json {

JsonText& JsonText::operator=(JsonText&& other) noexcept {
  if (this != &other) {
    Free();
    bits_ = other.bits_;
    other.bits_ = 0;
  }
  return *this;
}

bool JsonText::Assign(std::u16string_view units) {
  Free();
  if (units.empty()) return true;
  bool fits_inline = units.size() <= kInlineUnits;
  for (size_t k = 0; fits_inline && k < units.size(); ++k) fits_inline = units[k] < 0x100;
  if (fits_inline) {
    uintptr_t bits = kInlineTag | (units.size() << 1);
    for (size_t k = 0; k < units.size(); ++k) bits |= static_cast<uintptr_t>(units[k]) << (8 * (k + 1));
    bits_ = bits;
    return true;
  }
  if (units.size() > std::numeric_limits<uint32_t>::max()) return false;
  size_t bytes = offsetof(Block, units) + units.size() * sizeof(char16_t);
  auto* block = static_cast<Block*>(std::malloc(bytes));
  if (block == nullptr) return false;
  block->length = static_cast<uint32_t>(units.size());
  std::memcpy(block->units, units.data(), units.size() * sizeof(char16_t));
  bits_ = reinterpret_cast<uintptr_t>(block);
  return true;
}

void JsonText::Free() {
  if (bits_ != 0 && !IsInline()) std::free(reinterpret_cast<void*>(bits_));
  bits_ = 0;
}

size_t JsonText::Size() const {
  if (bits_ == 0) return 0;
  if (IsInline()) return (bits_ >> 1) & 7;
  return HeapBlock()->length;
}

std::u16string_view JsonText::View(Scratch& scratch) const {
  if (bits_ == 0) return {};
  if (!IsInline()) return {HeapBlock()->units, HeapBlock()->length};
  size_t length = (bits_ >> 1) & 7;
  for (size_t k = 0; k < length; ++k) scratch[k] = static_cast<char16_t>((bits_ >> (8 * (k + 1))) & 0xFF);
  return {scratch.data(), length};
}

bool JsonText::Equals(std::u16string_view units) const {
  Scratch scratch;
  return View(scratch) == units;
}

}  // namespace json
