#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "json/json_document.h"
#include "json/json_reader.h"

namespace json {
namespace {

struct ReadCase {
  const char* text;
  ReadResult strict;        // ParseText
  const char* strict_tree;  // written compact afterwards
  ReadResult loose;         // ParseTextLooseKeys
  const char* loose_tree;
};

// Reads `text` into a document that held {"k":1}, so the cases also show
// what a failure leaves behind.
std::string Read(const char* text, bool loose, ReadResult* result) {
  JsonDocument document;
  document.ResetAndParse(u"{\"k\":1}", true);
  std::u16string wide(text, text + std::char_traits<char>::length(text));
  *result = loose ? ParseTextLooseKeys(document.GetRootHandle(), wide, false)
                  : ParseText(document.GetRootHandle(), wide, false);
  return document.ToText("");
}

TEST(JsonReader, ReadsTextsAsBothReadersDo) {
  const ReadCase cases[] = {
      {R"({"a":1,"b":[true,null,"x"],"c":{"d":-2.5e1}})", kOk, R"({"a":1,"b":[true,null,"x"],"c":{"d":-25}})", kOk,
       R"({"a":1,"b":[true,null,"x"],"c":{"d":-25}})"},
      {"{'a':'b'}", kOk, R"({"a":"b"})", kOk, R"({"a":"b"})"},
      {R"({"a":"it's",'b':'say "hi"'})", kOk, R"({"a":"it's","b":"say \"hi\""})", kOk,
       R"({"a":"it's","b":"say \"hi\""})"},
      {"[1,]", kEmptyElement, "[]", kEmptyElement, "[]"},
      {"[]", kOk, "[]", kOk, "[]"},
      {"[ ]", kOk, "[]", kOk, "[]"},
      {"[1,,2]", kOk, "[1,2]", kOk, "[1,2]"},
      {"[,1]", kOk, "[1]", kOk, "[1]"},
      {R"({"a":})", kOk, R"({"a":})", kOk, R"({"a":})"},
      {R"({"a"})", kOk, "{}", kOk, "{}"},
      {R"({"a":tru,"b":True})", kOk, R"({"a":tru,"b":True})", kOk, R"({"a":tru,"b":True})"},
      {R"({"a":01,"b":.5,"c":1.,"d":-})", kOk, R"({"a":1,"b":0.5,"c":1,"d":0})", kOk,
       R"({"a":1,"b":0.5,"c":1,"d":0})"},
      {"[1:2]", kColonInArray, "[]", kMissingKey, "[]"},
      {"{a:1}", kMissingKey, "{}", kOk, R"({"a":1})"},
      {R"({a:1, b : "x"})", kMissingKey, "{}", kOk, R"({"a":1,"b":"x"})"},
      {R"({"x":1,a:2})", kOk, R"({"x":2})", kOk, R"({"x":1,"a":2})"},
      {R"({"":1})", kOk, R"({"":1})", kOk, R"({"\"":1})"},
      {R"({" k ":1,"  o ":{}})", kOk, R"({"k":1,"  o ":{}})", kOk, R"({"k":1,"o":{}})"},
      {R"({"a":1)", kUnbalanced, "{}", kUnbalanced, "{}"},
      {R"({"a":"x)", kUnbalanced, "{}", kUnbalanced, "{}"},
      {R"("x")", kUnbalanced, "{}", kUnbalanced, "{}"},
      {"123", kOk, "{}", kOk, "{}"},
      {R"(abc {"a":1} def)", kOk, R"({"a":1})", kOk, R"({"a":1})"},
      {R"(,{"a":1})", kUnbalanced, "{}", kUnbalanced, "{}"},
      {R"(:{"a":1})", kUnbalanced, "{}", kMissingKey, "{}"},
      {R"({"a":1}")", kUnbalanced, "{}", kUnbalanced, "{}"},
      {R"(]}{"a":1})", kOk, R"({"a":1})", kOk, R"({"a":1})"},
      {R"({"a":1}{"b":2})", kOk, R"({"a":1,"b":2})", kOk, R"({"a":1,"b":2})"},
      {"[1][2]", kOk, "[1,2]", kOk, "[1,2]"},
      {R"({"a":1}[2])", kOk, "[2]", kOk, "[2]"},
      {R"({"a":1 2})", kOk, R"({"a":1})", kOk, R"({"a":1})"},
      {R"({"a":[1,{"b":[]}],"c":2})", kOk, R"({"a":[1,{"b":[]}],"c":2})", kOk, R"({"a":[1,{"b":[]}],"c":2})"},
  };
  for (const ReadCase& c : cases) {
    ReadResult result;
    EXPECT_EQ(Read(c.text, false, &result), c.strict_tree) << c.text;
    EXPECT_EQ(result, c.strict) << c.text;
    EXPECT_EQ(Read(c.text, true, &result), c.loose_tree) << "loose: " << c.text;
    EXPECT_EQ(result, c.loose) << "loose: " << c.text;
  }
}

TEST(JsonReader, GivesEachValueItsKindAndLiteral) {
  JsonDocument document;
  ASSERT_TRUE(document.ResetAndParse(R"({"i":1,"r":-2.5e1,"f":1.50,"b":true,"n":null,"s":"x","w":tru,"e":,"m":-})",
                                     true));
  const struct {
    const char* path;
    JsonKind kind;
    const char* literal;
  } expected[] = {
      {"i", JsonKind::Integer, "1"}, {"r", JsonKind::Real, "-2.5e1"}, {"f", JsonKind::Real, "1.50"},
      {"b", JsonKind::Bool, "true"}, {"n", JsonKind::Null, "null"},   {"s", JsonKind::String, ""},
      {"w", JsonKind::Raw, "tru"},   {"e", JsonKind::Raw, ""},        {"m", JsonKind::Integer, "-"},
  };
  for (const auto& e : expected) {
    EXPECT_EQ(document.KindAt(e.path), e.kind) << e.path;
    EXPECT_EQ(document.LiteralAt(e.path), e.literal) << e.path;
  }
  EXPECT_EQ(document.GetRealAt("r"), -25.0);
  EXPECT_EQ(document.GetRealAt("f"), 1.5);
  EXPECT_EQ(document.GetIntegerAt("m"), 0);
}

TEST(JsonReader, UnescapesStringsOnce) {
  JsonDocument document;
  ASSERT_TRUE(document.ResetAndParse(R"({"q":"x\"y","p":"C:\\new","t":"a\tb\/c\'d\x","u":"\u4e2d"})", true));
  EXPECT_EQ(document.GetStringAt("q"), "x\"y");
  EXPECT_EQ(document.GetStringAt("p"), "C:\\new");
  EXPECT_EQ(document.GetStringAt("t"), "a\tb/c\\'d\\x");
  EXPECT_EQ(document.GetStringAt(u"u"), u"\\u4e2d");

  ASSERT_TRUE(document.ResetAndParse(R"({"u":"\u4e2d\uD83D\uDE00","k\u0041":1,"bad":"\u12G4"})", true, true));
  EXPECT_EQ(document.GetStringAt(u"u"), u"\u4e2d\U0001F600");
  EXPECT_EQ(document.GetIntegerAt("kA"), 1);
  EXPECT_EQ(document.GetStringAt("bad"), "\\u12G4");
}

TEST(JsonReader, EmptyTextLeavesTheRootAsItWas) {
  JsonDocument document;
  ASSERT_TRUE(document.ResetAndParse(R"({"k":1})", true));
  EXPECT_EQ(ParseText(document.GetRootHandle(), u"", false), kOk);
  EXPECT_EQ(document.ToText(""), R"({"k":1})");
  EXPECT_EQ(ParseText(nullptr, u"{}", false), kNoInput);
}

TEST(JsonReader, ReadsNumbersBeyondTheirRangesToDefinedValues) {
  JsonDocument document;
  ASSERT_TRUE(document.ResetAndParse(
      R"({"big":99999999999999999999,"min":-9223372036854775808,"exact":12345678901234567,)"
      R"("huge":1e400,"tiny":1e-400,"zero":0e999,"long":1)" +
          std::string(400, '0') + R"(e-400})",
      true));
  EXPECT_EQ(document.GetIntegerAt("big"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(document.GetIntegerAt("min"), std::numeric_limits<int64_t>::min());
  EXPECT_EQ(document.GetIntegerAt("exact"), 12345678901234567);
  EXPECT_TRUE(std::isinf(document.GetRealAt("huge")));
  EXPECT_EQ(document.GetRealAt("tiny"), 0.0);
  EXPECT_EQ(document.GetRealAt("zero"), 0.0);
  EXPECT_NEAR(document.GetRealAt("long"), 1.0, 1e-9);
  EXPECT_EQ(document.ToText(""),
            R"({"big":9223372036854775807,"min":-9223372036854775808,"exact":12345678901234567,)"
            R"("huge":inf,"tiny":0,"zero":0,"long":1})");
}

TEST(JsonReader, ReadsLocalTextAndUtf16Alike) {
  JsonDocument local;
  ASSERT_TRUE(local.ParseLooseKeys("{\xD6\xD0:'\xCE\xC4'}"));  // {中:'文'}
  EXPECT_EQ(local.GetStringAt(u"\u4e2d"), u"\u6587");
  EXPECT_EQ(local.GetStringAt("\xD6\xD0"), "\xCE\xC4");
  EXPECT_FALSE(local.ParseLooseKeys("[1:2]"));
  EXPECT_EQ(local.ToText(""), "[]");
}

}  // namespace
}  // namespace json
