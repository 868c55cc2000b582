#include "app/text/text_encoding.h"

#include "platform/code_page.h"

namespace text {
namespace {

bool IsContinuation(std::string_view bytes, size_t i) {
  return i < bytes.size() && (static_cast<unsigned char>(bytes[i]) & 0xC0) == 0x80;
}

bool StartsWith(std::string_view bytes, std::string_view prefix) { return bytes.substr(0, prefix.size()) == prefix; }

Text UpToFirstZero(Text text) {
  size_t zero = text.find('\0');
  if (zero != Text::npos) text.resize(zero);
  return text;
}

}  // namespace

bool LooksLikeUtf8(std::string_view bytes) {
  size_t i = 0;
  while (i < bytes.size()) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c < 0x80) {
      ++i;
    } else if (c >= 0xC0 && c <= 0xDF) {
      if (!IsContinuation(bytes, i + 1)) return false;
      i += 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
      return IsContinuation(bytes, i + 1) && IsContinuation(bytes, i + 2);
    } else if (c >= 0xF0 && c <= 0xF7) {
      return IsContinuation(bytes, i + 1) && IsContinuation(bytes, i + 2) && IsContinuation(bytes, i + 3);
    } else {
      return false;
    }
  }
  return false;
}

TextEncoding LooksLikeUtf16(std::string_view bytes) {
  if (bytes.size() < 4 || bytes.size() % 2 != 0) return TextEncoding::Ansi;
  size_t units = bytes.size() / 2, zero_even = 0, zero_odd = 0;
  for (size_t i = 0; i < bytes.size(); i += 2) {
    zero_even += bytes[i] == '\0';
    zero_odd += bytes[i + 1] == '\0';
  }
  auto looks_like = [units](size_t zero_high, size_t zero_low) {
    return zero_high * 4 >= units && zero_low * 4 < zero_high;
  };
  if (looks_like(zero_odd, zero_even)) return TextEncoding::Utf16Le;
  if (looks_like(zero_even, zero_odd)) return TextEncoding::Utf16Be;
  return TextEncoding::Ansi;
}

TextEncoding DetectTextEncoding(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) return TextEncoding::Utf8;
  if (StartsWith(bytes, "\xFF\xFE")) return TextEncoding::Utf16Le;
  if (StartsWith(bytes, "\xFE\xFF")) return TextEncoding::Utf16Be;
  if (TextEncoding utf16 = LooksLikeUtf16(bytes); utf16 != TextEncoding::Ansi) return utf16;
  if (LooksLikeUtf8(bytes)) return TextEncoding::Utf8;
  return TextEncoding::Ansi;
}

Text Utf8BytesToText(std::string_view bytes) {
  if (bytes.empty()) return Text();
  return UpToFirstZero(platform::Utf8ToCp936(bytes));
}

Text Utf16BytesToText(std::string_view bytes, TextEncoding byte_order) {
  const bool big_endian = byte_order == TextEncoding::Utf16Be;
  std::u16string units;
  units.reserve(bytes.size() / 2 + 1);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    unsigned char first = static_cast<unsigned char>(bytes[i]), second = static_cast<unsigned char>(bytes[i + 1]);
    units.push_back(static_cast<char16_t>(big_endian ? (first << 8 | second) : (second << 8 | first)));
  }
  if (bytes.size() % 2) units.push_back(u'\uFFFD');
  std::u16string_view view = units;
  if (!view.empty() && view[0] == u'\uFEFF') view.remove_prefix(1);
  return UpToFirstZero(platform::Utf16ToCp936(view));
}

Text DecodeTextFile(std::string_view bytes) {
  switch (TextEncoding encoding = DetectTextEncoding(bytes)) {
    case TextEncoding::Utf8:
      return Utf8BytesToText(bytes);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be:
      return Utf16BytesToText(bytes, encoding);
    case TextEncoding::Ansi:
      break;
  }
  return UpToFirstZero(Text(bytes));
}

}  // namespace text
