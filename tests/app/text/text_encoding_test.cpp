#include "app/text/text_encoding.h"

#include <gtest/gtest.h>

#include "platform/code_page.h"

namespace text {
namespace {

std::string Utf16Le(std::u16string_view units) {
  std::string out;
  for (char16_t u : units) out += {char(u & 0xFF), char(u >> 8)};
  return out;
}

TEST(DetectTextEncoding, Table) {
  const std::string gbk = platform::Utf8ToCp936("人脸----违规业务");
  struct Case {
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {"\xEF\xBB\xBF", TextEncoding::Utf8},
      {"\xEF\xBB", TextEncoding::Ansi},
      {"\xFF\xFE", TextEncoding::Utf16Le},
      {"\xFE\xFFxy", TextEncoding::Utf16Be},
      {"中文", TextEncoding::Utf8},
      {"caf\xC3\xA9", TextEncoding::Ansi},  // two-byte sequences alone are not UTF-8
      {gbk, TextEncoding::Ansi},
      {"", TextEncoding::Ansi},
      {Utf16Le(u"123456----人脸\r\n"), TextEncoding::Utf16Le},
      {std::string("\0a\0b\0c\0d", 8), TextEncoding::Utf16Be},
      // Short ordinary texts are not UTF-16.
      {"ab", TextEncoding::Ansi},
      {"Hi there", TextEncoding::Ansi},
      {"abcd", TextEncoding::Ansi},
      {platform::Utf8ToCp936("中文"), TextEncoding::Ansi},
      {platform::Utf8ToCp936("你好世界"), TextEncoding::Ansi},
      {"Bush hid the facts", TextEncoding::Ansi},
      {std::string(8, '\0'), TextEncoding::Ansi},
  };
  for (const auto& c : cases) EXPECT_EQ(DetectTextEncoding(c.bytes), c.encoding) << c.bytes;
}

TEST(LooksLikeUtf8, FirstLongSequenceDecides) {
  struct Case {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"abc", false},           {"\xC3\xA9\xE4\xB8\xAD", true}, {"\xE4\xB8", false},
      {"\xF0\x9F\x98\x80", true}, {"\xC3", false},                {"\x80", false},
      {"\xF8\x80\x80\x80", false}, {"\xE4\xB8\xAD\xFF", true},     {"\xD6\xD0\xCE\xC4", false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeUtf8(c.bytes), c.utf8) << c.bytes;
}

TEST(Utf8BytesToText, ConvertsReplacesAndStopsAtZero) {
  EXPECT_EQ(Utf8BytesToText(""), "");
  EXPECT_EQ(Utf8BytesToText("中文"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(Utf8BytesToText("\xEF\xBB\xBF" "a"), "a");     // the mark has no place in code page 936
  EXPECT_EQ(Utf8BytesToText("a\xFF" "b"), "a?b");          // malformed, then the default character
  EXPECT_EQ(Utf8BytesToText("\xEA\xB0\x80"), "?");         // U+AC00 is not in code page 936
  EXPECT_EQ(Utf8BytesToText(std::string("ab\0c", 4)), "ab");
}

TEST(Utf16BytesToText, BothOrders) {
  EXPECT_EQ(Utf16BytesToText(std::string("\xFF\xFE\x2D\x4E", 4), TextEncoding::Utf16Le), "\xD6\xD0");
  EXPECT_EQ(Utf16BytesToText(std::string("\x4E\x2D\x00\x41", 4), TextEncoding::Utf16Be), "\xD6\xD0" "A");
  EXPECT_EQ(Utf16BytesToText(std::string("A\0B", 3), TextEncoding::Utf16Le), "A?");  // a cut-off unit
}

}  // namespace
}  // namespace text
