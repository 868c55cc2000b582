#include "platform/code_page.h"

#include <gtest/gtest.h>

#include <random>

namespace platform {
namespace {

TEST(CodePage, ConvertsChineseBothWays) {
  EXPECT_EQ(Utf8ToCp936("中文"), "\xD6\xD0\xCE\xC4");
  EXPECT_EQ(Cp936ToUtf8("\xD6\xD0\xCE\xC4"), "中文");
  EXPECT_EQ(Cp936ToUtf16("a\xD6\xD0"), u"a中");
  EXPECT_EQ(Utf16ToCp936(u"€é"), "\x80\xA8\xA6");
}

TEST(CodePage, CharactersOutsideCp936BecomeTheDefaultCharacter) {
  EXPECT_EQ(Utf16ToCp936(u"a\u00C5b\uAC00c"), "a?b?c");
  EXPECT_EQ(Utf8ToCp936("x\xF0\x9F\x98\x80y"), "x?y");  // one '?' for a surrogate pair
  EXPECT_EQ(Utf16ToCp936(std::u16string(u"a") + char16_t(0xD800)), "a?");  // lone high surrogate at the end
}

TEST(CodePage, UndecodableInputBecomesReplacementCharacters) {
  EXPECT_EQ(Cp936ToUtf16("\xFF" "a"), u"\uFFFD" "a");
  EXPECT_EQ(Cp936ToUtf16("a\xD6"), u"a\uFFFD");  // lone lead byte at the end
  EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
  EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");
}

TEST(CodePage, ZeroBytesPassThrough) {
  EXPECT_EQ(Cp936ToUtf16(std::string_view("a\0\xD6\xD0", 4)), std::u16string(u"a\0中", 3));
}

// The direct UTF-8 to code page 936 path must say what the two converters
// say, for well-formed text and for any bytes at all.
TEST(CodePage, DirectUtf8ToCp936MatchesTheConverters) {
  std::mt19937 random(936);
  auto utf8_of = [](char32_t c) {
    std::string out;
    if (c < 0x80) {
      out += char(c);
    } else if (c < 0x800) {
      out += {char(0xC0 | c >> 6), char(0x80 | (c & 0x3F))};
    } else if (c < 0x10000) {
      out += {char(0xE0 | c >> 12), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
    } else {
      out += {char(0xF0 | c >> 18), char(0x80 | (c >> 12 & 0x3F)), char(0x80 | (c >> 6 & 0x3F)), char(0x80 | (c & 0x3F))};
    }
    return out;
  };
  for (int round = 0; round < 2000; ++round) {
    std::string text;
    int pieces = random() % 40;
    for (int i = 0; i < pieces; ++i) {
      switch (random() % 5) {
        case 0: text += char(random() % 0x80); break;
        case 1: text += char(random() % 256); break;                               // any byte
        case 2: text += utf8_of(0x4E00 + random() % 0x5200); break;                 // CJK
        case 3: text += utf8_of(random() % 0xD800); break;                          // any of the plane
        default: text += utf8_of(0x10000 + random() % 0x100000); break;            // beyond it
      }
    }
    std::string hex;
    for (unsigned char c : text) hex += "0123456789ABCDEF"[c >> 4], hex += "0123456789ABCDEF"[c & 15], hex += ' ';
    ASSERT_EQ(Utf8ToCp936(text), Utf16ToCp936(Utf8ToUtf16(text))) << "input " << hex;
  }
  for (const char* odd : {"\xE4\xB8", "\xE4\x41", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC0\xAF", "\xEF\xBB\xBF" "a"}) {
    EXPECT_EQ(Utf8ToCp936(odd), Utf16ToCp936(Utf8ToUtf16(odd))) << odd;
  }
}

}  // namespace
}  // namespace platform
