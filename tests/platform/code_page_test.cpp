#include "platform/code_page.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace platform
