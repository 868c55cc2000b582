#include "app/text/text.h"

#include <gtest/gtest.h>

#include <vector>

namespace text {
namespace {

using Strings = std::vector<std::string>;

Strings SplitToStrings(std::string_view t, std::string_view sep) {
  Strings out;
  for (auto piece : Split(t, sep)) out.emplace_back(piece);
  return out;
}

TEST(Split, Table) {
  struct Case {
    std::string text, sep;
    Strings pieces;
  } cases[] = {
      {"a----b", "----", {"a", "b"}},
      {"a--------b", "----", {"a", "", "b"}},
      {"----a", "----", {"", "a"}},
      {"a----", "----", {"a"}},
      {"a----b----", "----", {"a", "b"}},
      {"----", "----", {""}},
      {"abc", "----", {"abc"}},
      {"", "----", {}},
      {"abc", "", {"abc"}},
      {"a---", "----", {"a---"}},
      {"l1\r\n\r\nl3\r\n", "\r\n", {"l1", "", "l3"}},
      {"a\rb\nc", "\r\n", {"a\rb\nc"}},  // a lone CR or LF ends no line
      // 0xB1 0x7C is one character whose second byte is '|'.
      {"x\xB1|y|z", "|", {"x\xB1|y", "z"}},
      // Separator made of double-byte characters; a lead byte swallows the next byte.
      {"a\xD6\xD0" "b\xD6\xD0", "\xD6\xD0", {"a", "b"}},
      {"\xB1\xB1\xB1", "\xB1\xB1", {"", "\xB1"}},
      {"\xB1\xB1\xB1\xB1", "\xB1\xB1", {"", ""}},
      {"a\xFF", "\xFF", {"a"}},  // a lone lead byte at the end still matches
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SplitToStrings(c.text, c.sep), c.pieces) << "text " << c.text << " sep " << c.sep;
    Strings lazily;
    for (auto piece : PieceRange(c.text, c.sep)) lazily.emplace_back(piece);
    EXPECT_EQ(lazily, c.pieces) << "one at a time: text " << c.text << " sep " << c.sep;
  }
}

TEST(Split, LongAsciiRunsAroundMatches) {
  std::string run(37, 'x');
  std::string t = run + "----" + run + "\xD6\xD0" + "----" + run;
  EXPECT_EQ(SplitToStrings(t, "----"), (Strings{run, run + "\xD6\xD0", run}));
}

TEST(Find, Table) {
  struct Case {
    std::string text, search;
    int start, expected;
  } cases[] = {
      {"ab----cd", "----", 1, 3},  {"ab----cd", "----", 4, -1}, {"", "----", 1, -1},
      {"ab", "", 1, 1},            {"ab", "", 3, -1},           {"ab", "b", -5, 2},
      {"ab", "b", 3, -1},          {"\xB1|", "|", 1, -1},       {"\xB1||", "|", 1, 3},
      {"abcabc", "abc", 2, 4},     {"ab", "abc", 1, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Find(c.text, c.search, c.start), c.expected) << c.text << " / " << c.search << " @" << c.start;
  }
}

TEST(Find, CaseInsensitiveFoldsAsciiOnly) {
  EXPECT_EQ(FindCaseInsensitive("xxHeLLo", "hello"), 3);
  EXPECT_EQ(Find("xxHeLLo", "hello"), -1);
  EXPECT_EQ(FindCaseInsensitive("\xC1\xE1", "\xC1\xC1"), -1);  // bytes >= 0x80 compare exactly
}

TEST(FindLast, Table) {
  struct Case {
    std::string text, search;
    int start, expected;
  } cases[] = {
      {"abcabc", "abc", kWholeText, 4}, {"abcabc", "abc", 6, 1}, {"abcabc", "abc", 1, -1},
      {"abcabc", "abc", 7, 4},          {"abcabc", "abc", 99, 4}, {"abcabc", "", kWholeText, 1},
      {"", "", kWholeText, -1},         {"abc", "", 1, -1},       {"\xB1|\xB1|", "|", kWholeText, -1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindLast(c.text, c.search, c.start), c.expected) << c.text << " / " << c.search << " @" << c.start;
  }
  EXPECT_EQ(FindLast("ABCabc", "abc", kWholeText, true), 4);
  EXPECT_EQ(FindLast("ABCxyz", "abc", kWholeText, true), 1);
}

TEST(Parts, LeftRightMiddle) {
  EXPECT_EQ(Left("abcdef", 2), "ab");
  EXPECT_EQ(Left("abcdef", 0), "");
  EXPECT_EQ(Left("abcdef", -1), "");
  EXPECT_EQ(Left("abcdef", 10), "abcdef");
  EXPECT_EQ(Right("abcdef", 2), "ef");
  EXPECT_EQ(Right("abcdef", 0), "");
  EXPECT_EQ(Right("abcdef", 10), "abcdef");
  EXPECT_EQ(Middle("abcdef", 0, 3), "");
  EXPECT_EQ(Middle("abcdef", 5, 9), "ef");
  EXPECT_EQ(Middle("abcdef", 2, 2), "bc");
  EXPECT_EQ(Middle("abcdef", 7, 1), "");
  EXPECT_EQ(Middle("abcdef", 2, 0), "");
}

TEST(Trim, Table) {
  struct Case {
    std::string text, start, end, both;
  } cases[] = {
      {"  a b\xA1\xA1 ", "a b\xA1\xA1 ", "  a b", "a b"},
      {"\ta ", "\ta ", "\ta", "\ta"},
      {"\xA1\xA1x\r\n", "x\r\n", "\xA1\xA1x\r\n", "x\r\n"},
      {"ab \xB1", "ab \xB1", "ab ", "ab "},  // a lone lead byte at the end is cut, nothing more
      {"\xB1\xA1\xA1", "\xB1\xA1\xA1", "\xB1\xA1", "\xB1\xA1"},  // A1 is a second byte here
      {"", "", "", ""},
      {"   ", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(TrimStart(c.text), c.start) << c.text;
    EXPECT_EQ(TrimEnd(c.text), c.end) << c.text;
    EXPECT_EQ(TrimBoth(c.text), c.both) << c.text;
  }
}

TEST(Case, ChangesAsciiLettersOnly) {
  EXPECT_EQ(UpperCase("ab\xC1\xE1z9"), "AB\xC1\xE1Z9");
  EXPECT_EQ(LowerCase("AB\xC1\xC1Z"), "ab\xC1\xC1z");
  EXPECT_EQ(UpperCase("\xB1" "a"), "\xB1" "a");  // 'a' is a second byte
}

TEST(Numbers, DecimalAndIntegerOfText) {
  EXPECT_EQ(Decimal(0), "0");
  EXPECT_EQ(Decimal(-42), "-42");
  struct Case {
    std::string text;
    int value;
  } cases[] = {{"42", 42},   {"  -17abc", -17}, {"+8", 8},        {"abc", 0},
               {"", 0},      {"- 1", 0},        {"99999999999", INT_MAX},
               {"-99999999999", INT_MIN}};
  for (const auto& c : cases) EXPECT_EQ(IntegerOfText(c.text), c.value) << c.text;
}

TEST(Misc, JoinSpacesReplaceAt) {
  EXPECT_EQ(Join({"a", "", "bc"}), "abc");
  EXPECT_EQ(Spaces(3), "   ");
  EXPECT_EQ(Spaces(0), "");
  EXPECT_EQ(ReplaceAt("abcdef", 2, 3, "XY"), "aXYef");
  EXPECT_EQ(ReplaceAt("abc", 3, 10, "Z"), "abZ");
  EXPECT_EQ(ReplaceAt("abc", 4, 1, "Z"), "abcZ");
  EXPECT_EQ(ReplaceAt("abc", 0, 1, "Z"), "Zbc");
  EXPECT_TRUE(IsEmpty(""));
  EXPECT_EQ(Length("\xD6\xD0"), 2);
}

TEST(Bytes, TextOfBytesEqualAndMiddle) {
  EXPECT_EQ(TextOfBytes({0x41, 0x42, 0x00, 0x43}), "AB");
  EXPECT_EQ(TextOfBytes({0x41, 0x42}), "AB");
  EXPECT_EQ(TextOfBytes({}), "");
  EXPECT_TRUE(BytesEqual({1, 0, 2}, {1, 0, 2}));
  EXPECT_FALSE(BytesEqual({1, 0}, {1, 0, 2}));
  EXPECT_EQ(MiddleBytes({1, 2, 3, 4}, 2, 2), (ByteArray{2, 3}));
  EXPECT_EQ(MiddleBytes({1, 2, 3, 4}, 3, 9), (ByteArray{3, 4}));
  EXPECT_EQ(MiddleBytes({1, 2, 3, 4}, 5, 1), ByteArray{});
}

}  // namespace
}  // namespace text
