#include "json/json_number.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace json {
namespace {

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

size_t SkipBlanks(std::u16string_view text, size_t i) {
  while (i < text.size() && text[i] <= u' ') ++i;
  return i;
}

// Past this the mantissa takes no more digits: they are below its precision,
// and the scale stays finite.
constexpr double kMantissaLimit = 1e300;
constexpr int64_t kExponentLimit = 100000;

NumberText Widen(const char* first, const char* last) {
  NumberText out;
  for (const char* p = first; p != last; ++p) out.units[out.size++] = static_cast<char16_t>(*p);
  return out;
}

}  // namespace

bool IsNumberText(std::u16string_view text, bool* looks_real) {
  *looks_real = false;
  if (text.empty()) return false;
  bool dot = false, exponent = false, sign = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c <= u' ') continue;
    if (IsDigit(c)) continue;
    if (c == u'.') {
      if (dot) return false;
      dot = true;
    } else if (i == 0 && (c == u'+' || c == u'-')) {
      // a leading sign is part of the mantissa
    } else if (i == 0) {
      return false;
    } else if (c == u'e' || c == u'E') {
      if (exponent) return false;
      exponent = true;
    } else if (c == u'+' || c == u'-') {
      if (sign) return false;
      sign = true;
    } else {
      return false;
    }
  }
  *looks_real = dot || exponent || sign;
  return true;
}

double ReadReal(std::u16string_view text) {
  size_t i = SkipBlanks(text, 0);
  double sign = 1;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    if (text[i] == u'-') sign = -1;
    ++i;
  }
  double mantissa = 0;
  int64_t dropped_digits = 0;  // integer digits beyond the mantissa's reach
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    if (mantissa < kMantissaLimit) {
      mantissa = mantissa * 10 + (text[i] - u'0');
    } else if (dropped_digits < kExponentLimit) {
      ++dropped_digits;
    }
  }
  double scale = 1;
  if (i < text.size() && text[i] == u'.') {
    for (++i; i < text.size() && IsDigit(text[i]); ++i) {
      if (mantissa < kMantissaLimit && scale < kMantissaLimit) {
        mantissa = mantissa * 10 + (text[i] - u'0');
        scale *= 10;
      }
    }
  }
  double value = mantissa * sign / scale;
  int64_t exponent = 0;
  if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
    ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
      negative = text[i] == u'-';
      ++i;
    }
    for (; i < text.size() && IsDigit(text[i]); ++i) {
      if (exponent < kExponentLimit) exponent = exponent * 10 + (text[i] - u'0');
    }
    if (negative) exponent = -exponent;
  }
  exponent += dropped_digits;
  // Zero stays zero whatever the exponent: no infinity times zero.
  if (value == 0 || exponent == 0) return value;
  double power = std::pow(10.0, static_cast<double>(exponent < 0 ? -exponent : exponent));
  return exponent < 0 ? value / power : value * power;
}

int64_t ReadInteger(std::u16string_view text) {
  size_t i = SkipBlanks(text, 0);
  bool negative = false;
  if (i < text.size() && (text[i] == u'-' || text[i] == u'+')) {
    negative = text[i] == u'-';
    ++i;
  }
  // The magnitude saturates at 2^63, which reads as the largest integer of
  // that sign.
  constexpr uint64_t kLimit = uint64_t{1} << 63;
  uint64_t magnitude = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    uint64_t digit = text[i] - u'0';
    magnitude = magnitude > (kLimit - digit) / 10 ? kLimit : magnitude * 10 + digit;
  }
  if (negative) return magnitude == kLimit ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(magnitude);
  return magnitude >= kLimit ? std::numeric_limits<int64_t>::max() : static_cast<int64_t>(magnitude);
}

namespace {

// "%.13g" through the C++ library, the exponent widened to three digits.
NumberText FormatRealRounded(double value) {
  char buffer[40];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 13);
  (void)error;  // 13 digits always fit
  std::string_view written(buffer, end - buffer);
  size_t mark = written.find('e');
  if (mark == std::string_view::npos) return Widen(buffer, end);
  NumberText out = Widen(buffer, buffer + mark + 2);
  for (size_t digits = written.size() - (mark + 2); digits < 3; ++digits) out.units[out.size++] = u'0';
  for (const char* p = buffer + mark + 2; p != end; ++p) out.units[out.size++] = static_cast<char16_t>(*p);
  return out;
}

}  // namespace

NumberText FormatReal(double value) {
  if (std::isnan(value)) return Widen("nan", "nan" + 3);
  if (std::isinf(value)) return value < 0 ? Widen("-inf", "-inf" + 4) : Widen("inf", "inf" + 3);
  // The shortest digits that read back as the value are what rounding it to
  // 13 digits gives whenever there are at most 13 of them (the value lies far
  // closer to them than to any rounding boundary), and they are much faster
  // to find. Only longer ones take the rounding path.
  char buffer[40];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
  (void)error;
  const char* p = buffer;
  const bool negative = *p == '-';
  if (negative) ++p;
  char digits[20];
  size_t count = 0;
  for (; *p != 'e'; ++p) {
    if (*p == '.') continue;
    if (count == 13) return FormatRealRounded(value);
    digits[count++] = *p;
  }
  int exponent = 0;
  std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
  while (count > 1 && digits[count - 1] == '0') --count;

  NumberText out;
  auto put = [&out](char c) { out.units[out.size++] = static_cast<char16_t>(c); };
  if (negative) put('-');
  if (exponent < -4 || exponent >= 13) {
    put(digits[0]);
    if (count > 1) put('.');
    for (size_t k = 1; k < count; ++k) put(digits[k]);
    put('e');
    put(exponent < 0 ? '-' : '+');
    int magnitude = exponent < 0 ? -exponent : exponent;
    put(static_cast<char>('0' + magnitude / 100));
    put(static_cast<char>('0' + magnitude / 10 % 10));
    put(static_cast<char>('0' + magnitude % 10));
  } else if (exponent < 0) {
    put('0');
    put('.');
    for (int k = -1; k > exponent; --k) put('0');
    for (size_t k = 0; k < count; ++k) put(digits[k]);
  } else {
    for (size_t k = 0; k <= static_cast<size_t>(exponent); ++k) put(k < count ? digits[k] : '0');
    if (count > static_cast<size_t>(exponent) + 1) put('.');
    for (size_t k = static_cast<size_t>(exponent) + 1; k < count; ++k) put(digits[k]);
  }
  return out;
}

NumberText FormatInteger(int64_t value) {
  char buffer[24];
  auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
  (void)error;
  return Widen(buffer, end);
}

}  // namespace json
