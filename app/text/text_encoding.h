// Recognising the encoding of a text file and decoding it to code page 936.
//
// Contract: pure functions, callable from any thread; results are new values
// owned by the caller. Nothing fails: undecodable input becomes U+FFFD on the
// way and then the code page's default character '?'; characters that code
// page 936 lacks become '?'. Every decoded text ends at its first zero byte.
#pragma once

#include <string_view>

#include "app/text/text.h"

namespace text {

enum class TextEncoding { Utf8 = 1, Utf16Le = 2, Utf16Be = 3, Ansi = 4 };

// First rule that applies: UTF-8 byte-order mark; UTF-16 byte-order mark
// (either order); LooksLikeUtf16; LooksLikeUtf8; otherwise Ansi.
TextEncoding DetectTextEncoding(std::string_view bytes);

// Decided by the first three- or four-byte sequence: text made only of ASCII
// and two-byte sequences is not taken for UTF-8.
bool LooksLikeUtf8(std::string_view bytes);

// The statistical test for UTF-16 text without a byte-order mark. Texts in
// ASCII, code page 936 and UTF-8 hold no zero bytes, while UTF-16 text holds
// one in every unit below U+0100 (digits, Latin letters, separators, line
// ends). So the data must have an even length of at least two units, at
// least a quarter of its units must have a zero high byte, and zero low bytes
// must be under a quarter as many as zero high bytes. Gives Utf16Le or
// Utf16Be, or Ansi when the data does not look like UTF-16.
TextEncoding LooksLikeUtf16(std::string_view bytes);

Text Utf8BytesToText(std::string_view bytes);
// A leading byte-order mark is dropped; a lone last byte is undecodable.
Text Utf16BytesToText(std::string_view bytes, TextEncoding byte_order);

// The text of a file's bytes in the encoding DetectTextEncoding finds.
Text DecodeTextFile(std::string_view bytes);

}  // namespace text
