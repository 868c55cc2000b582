#include "json/json_key_order.h"

#include <cstdint>

namespace json {
namespace {

bool IsIgnored(char16_t c) { return c == u'-' || c == u'\''; }
bool IsUpper(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool IsLower(char16_t c) { return c >= u'a' && c <= u'z'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The primary weight of a unit: symbols, then digits, then letters without
// case, then everything beyond ASCII.
uint32_t PrimaryWeight(char16_t c) {
  if (IsUpper(c)) c = static_cast<char16_t>(c - u'A' + u'a');
  if (c >= 0x80) return 0x30000u + c;
  if (IsLower(c)) return 0x20000u + c;
  if (IsDigit(c)) return 0x10000u + c;
  return c;
}

int ComparePrimary(std::u16string_view a, std::u16string_view b) {
  size_t i = 0, j = 0;
  while (true) {
    while (i < a.size() && IsIgnored(a[i])) ++i;
    while (j < b.size() && IsIgnored(b[j])) ++j;
    if (i == a.size() || j == b.size()) return (i == a.size() ? 0 : 1) - (j == b.size() ? 0 : 1);
    uint32_t wa = PrimaryWeight(a[i++]), wb = PrimaryWeight(b[j++]);
    if (wa != wb) return wa < wb ? -1 : 1;
  }
}

int CompareCase(std::u16string_view a, std::u16string_view b) {
  size_t i = 0, j = 0;
  while (true) {
    while (i < a.size() && IsIgnored(a[i])) ++i;
    while (j < b.size() && IsIgnored(b[j])) ++j;
    if (i == a.size() || j == b.size()) return 0;
    bool upper_a = IsUpper(a[i++]), upper_b = IsUpper(b[j++]);
    if (upper_a != upper_b) return upper_a ? 1 : -1;
  }
}

}  // namespace

int CompareKeys(std::u16string_view a, std::u16string_view b) {
  if (int primary = ComparePrimary(a, b)) return primary;
  if (int by_case = CompareCase(a, b)) return by_case;
  return a.compare(b);
}

}  // namespace json
