#include "json/json_text.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace json {
namespace {

// Narrow: length in bits 2-4, unit k in byte k + 1.
constexpr size_t kNarrowUnits = 7;
// Wide: length in bits 2-3, unit k in bits 16k + 16 to 16k + 31.
constexpr size_t kWideUnits = 3;
// Number: length in bits 2-5, unit k as a 4-bit symbol from bit 4k + 8.
constexpr size_t kNumberUnits = 14;
constexpr std::u16string_view kNumberSymbols = u"0123456789.+-eE ";

bool AllBelow(std::u16string_view units, char16_t limit) {
  for (char16_t unit : units) {
    if (unit >= limit) return false;
  }
  return true;
}

bool AllNumberSymbols(std::u16string_view units) {
  for (char16_t unit : units) {
    if (kNumberSymbols.find(unit) == std::u16string_view::npos) return false;
  }
  return true;
}

}  // namespace

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
  const uint64_t length = units.size();
  if (length == 0) return true;
  uint64_t bits = 0;
  if (length <= kNarrowUnits && AllBelow(units, 0x100)) {
    bits = kNarrow | length << 2;
    for (size_t k = 0; k < length; ++k) bits |= uint64_t{units[k]} << (8 * (k + 1));
  } else if (length <= kWideUnits) {
    bits = kWide | length << 2;
    for (size_t k = 0; k < length; ++k) bits |= uint64_t{units[k]} << (16 * (k + 1));
  } else if (length <= kNumberUnits && AllNumberSymbols(units)) {
    bits = kNumber | length << 2;
    for (size_t k = 0; k < length; ++k) bits |= uint64_t{kNumberSymbols.find(units[k])} << (4 * k + 8);
  } else {
    if (length > std::numeric_limits<uint32_t>::max()) return false;
    auto* block = static_cast<Block*>(std::malloc(offsetof(Block, units) + length * sizeof(char16_t)));
    if (block == nullptr) return false;
    block->length = static_cast<uint32_t>(length);
    std::memcpy(block->units, units.data(), length * sizeof(char16_t));
    bits = reinterpret_cast<uintptr_t>(block);
  }
  bits_ = bits;
  return true;
}

void JsonText::Free() {
  if (bits_ != 0 && TagOf() == kHeap) std::free(reinterpret_cast<void*>(static_cast<uintptr_t>(bits_)));
  bits_ = 0;
}

std::u16string_view JsonText::View(Scratch& scratch) const {
  if (bits_ == 0) return {};
  size_t length = 0;
  switch (TagOf()) {
    case kHeap:
      return {HeapBlock()->units, HeapBlock()->length};
    case kNarrow:
      length = (bits_ >> 2) & 7;
      for (size_t k = 0; k < length; ++k) scratch[k] = static_cast<char16_t>((bits_ >> (8 * (k + 1))) & 0xFF);
      break;
    case kWide:
      length = (bits_ >> 2) & 3;
      for (size_t k = 0; k < length; ++k) scratch[k] = static_cast<char16_t>((bits_ >> (16 * (k + 1))) & 0xFFFF);
      break;
    case kNumber:
      length = (bits_ >> 2) & 15;
      for (size_t k = 0; k < length; ++k) scratch[k] = kNumberSymbols[(bits_ >> (4 * k + 8)) & 15];
      break;
  }
  return {scratch.data(), length};
}

bool JsonText::Equals(std::u16string_view units) const {
  Scratch scratch;
  return View(scratch) == units;
}

}  // namespace json
