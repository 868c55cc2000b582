// Numbers in JSON text: how the readers recognise and read them and how the
// writer and the setters spell them.
//
// Contract: pure functions, callable from any thread; nothing throws and
// nothing allocates. Every input has a defined result: digits beyond the
// ranges of the types saturate (integers) or give an infinity or zero (reals),
// never a not-a-number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace json {

// Units at or below U+0020 are passed over anywhere. The first unit of the
// text may be a sign, a digit or "."; later ones digits, one ".", one "e" or
// "E" and one sign, in any order ("1e", "1-2", "-" and "." all pass).
// `looks_real` is set when a ".", an exponent mark or a sign after the first
// unit was seen.
bool IsNumberText(std::u16string_view text, bool* looks_real);

// The leading number of the text after white space, the way the readers take
// it: mantissa digits, an optional fraction and an optional exponent; the
// first other unit ends it. Nothing readable gives 0.
double ReadReal(std::u16string_view text);
// The leading decimal integer after white space and an optional sign.
int64_t ReadInteger(std::u16string_view text);

// A number spelled as the writer spells it.
struct NumberText {
  char16_t units[40];
  size_t size = 0;
  std::u16string_view View() const { return {units, size}; }
};
// 13 significant digits as "%.13g" chooses them, the exponent with at least
// three digits: 0.1, 100, 1e+013, 2.5e-007. Infinities and not-a-numbers give
// "inf", "-inf" and "nan".
NumberText FormatReal(double value);
NumberText FormatInteger(int64_t value);

}  // namespace json
