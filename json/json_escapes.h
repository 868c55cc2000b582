// The backslash escapes that the readers resolve and the writer produces:
// each pairs a code unit with the letter written after the backslash.
//
// Contract: constant data and pure functions, callable from any thread.
#pragma once

namespace json {

struct Escape {
  char16_t unit;
  char16_t letter;
};
inline constexpr Escape kEscapes[] = {
    {u'"', u'"'}, {u'\\', u'\\'}, {u'\b', u'b'}, {u'\t', u't'}, {u'\n', u'n'}, {u'\r', u'r'}, {u'\f', u'f'},
};

// The letter that escapes `unit`; 0 when it is written as itself.
inline char16_t EscapeLetterOf(char16_t unit) {
  for (const Escape& escape : kEscapes) {
    if (escape.unit == unit) return escape.letter;
  }
  return 0;
}

// The unit that a backslash and `letter` stand for; 0 when none.
inline char16_t UnitOfEscapeLetter(char16_t letter) {
  for (const Escape& escape : kEscapes) {
    if (escape.letter == letter) return escape.unit;
  }
  return 0;
}

}  // namespace json
