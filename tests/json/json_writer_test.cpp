#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <limits>
#include <string>

#include "json/json_document.h"
#include "json/json_number.h"
#include "json/json_writer.h"

namespace json {
namespace {

std::string Written(const char* text, bool pretty = false, bool escape = true) {
  JsonDocument document;
  EXPECT_TRUE(document.ResetAndParse(text, true)) << text;
  return document.ToText("", pretty, escape);
}

TEST(JsonWriter, WritesCompactTextInMemberOrder) {
  EXPECT_EQ(Written(R"({"code":-1,"error":"x"})"), R"({"code":-1,"error":"x"})");
  EXPECT_EQ(Written(R"({ "b" : [ 1 , true ] , "a" : { } })"), R"({"b":[1,true],"a":{}})");
}

TEST(JsonWriter, WritesThePrettyLayout) {
  EXPECT_EQ(Written(R"({"a":1,"b":{"c":[1,{"d":2}]}})", true),
            "{\r\n"
            "\t\"a\":1,\r\n"
            "\t\"b\":{\r\n"
            "\t\t\"c\":[1,{\r\n"
            "\t\t\t\t\"d\":2\r\n"
            "\t\t\t}]\r\n"
            "\t}\r\n"
            "}");
  EXPECT_EQ(Written("{}", true), "{\r\n}");
  EXPECT_EQ(Written(R"({"e":{}})", true), "{\r\n\t\"e\":{\r\n\t}\r\n}");
  EXPECT_EQ(Written("[]", true), "[]");
  EXPECT_EQ(Written("[1,2]", true), "[1,2]");
}

TEST(JsonWriter, EscapesOnlyWhatItShould) {
  JsonDocument document = JsonDocument::NewObject();
  document.SetStringAt(u"s", u"q\" b\\ n\n s/ t\t r\r f\f b\b one\u0001 \u4e2d\u6587");
  document.SetStringAt(u"k\"ey", u"");
  EXPECT_EQ(document.ToText(u""),
            u"{\"s\":\"q\\\" b\\\\ n\\n s/ t\\t r\\r f\\f b\\b one\u0001 \u4e2d\u6587\",\"k\\\"ey\":\"\"}");
  EXPECT_EQ(document.ToText(u"", false, false),
            u"{\"s\":\"q\" b\\ n\n s/ t\t r\r f\f b\b one\u0001 \u4e2d\u6587\",\"k\"ey\":\"\"}");
  // The local form gives the Chinese text as code page 936 bytes.
  EXPECT_EQ(document.ToText("s").substr(document.ToText("s").size() - 5), "\xD6\xD0\xCE\xC4\"");
}

TEST(JsonWriter, SpellsNumbersWithThirteenDigitsAndThreeDigitExponents) {
  const struct {
    double value;
    const char* text;
  } reals[] = {
      {0.1, "0.1"},
      {1.5, "1.5"},
      {100.0, "100"},
      {0.1 + 0.2, "0.3"},
      {1e13, "1e+013"},
      {0.00001, "1e-005"},
      {0.0001, "0.0001"},
      {-25.0, "-25"},
      {1e20, "1e+020"},
      {2.5e-7, "2.5e-007"},
      {3.0, "3"},
      {1234567890123.0, "1234567890123"},
      {12345678901234.0, "1.234567890123e+013"},
      {3.14159265358979, "3.14159265359"},
      {1e100, "1e+100"},
      {-1e-300, "-1e-300"},
      {0.0, "0"},
      {std::numeric_limits<double>::infinity(), "inf"},
      {-std::numeric_limits<double>::infinity(), "-inf"},
      {std::nan(""), "nan"},
  };
  for (const auto& r : reals) {
    EXPECT_EQ(FormatReal(r.value).View(), std::u16string(r.text, r.text + strlen(r.text))) << r.text;
  }
  // Against the C library's "%.13g" over values of every magnitude.
  std::mt19937_64 random(7);
  for (int k = 0; k < 200000; ++k) {
    uint64_t bits = random();
    double value;
    std::memcpy(&value, &bits, sizeof value);
    if (k % 2) value = std::ldexp(static_cast<double>(random() % 100000000) / 1000, static_cast<int>(random() % 80) - 40);
    if (!std::isfinite(value)) continue;
    char printed[64];
    std::snprintf(printed, sizeof printed, "%.13g", value);
    // The C library writes at least two exponent digits, the writer three.
    std::u16string expected(printed, printed + strlen(printed));
    if (size_t e = expected.find(u'e'); e != std::u16string::npos && expected.size() - e - 2 < 3) {
      expected.insert(expected.begin() + static_cast<std::ptrdiff_t>(e + 2), u'0');
    }
    ASSERT_EQ(FormatReal(value).View(), expected) << printed;
  }
  EXPECT_EQ(FormatInteger(0).View(), u"0");
  EXPECT_EQ(FormatInteger(-1).View(), u"-1");
  EXPECT_EQ(FormatInteger(std::numeric_limits<int64_t>::max()).View(), u"9223372036854775807");
  EXPECT_EQ(FormatInteger(std::numeric_limits<int64_t>::min()).View(), u"-9223372036854775808");

  JsonDocument document = JsonDocument::NewObject();
  document.SetRealAt("r", 1e20);
  document.SetIntegerAt("i", 42);
  EXPECT_EQ(document.ToText(""), R"({"r":1e+020,"i":42})");
}

TEST(JsonWriter, WritesClearedAndRawValues) {
  JsonDocument document;
  ASSERT_TRUE(document.ResetAndParse(R"({"b":true,"r":2.5,"s":"x","w":tru,"e":,"o":{"k":1}})", true));
  for (const char* path : {"b", "r", "s", "w", "o"}) document.ClearAt(path);
  EXPECT_EQ(document.ToText(""), R"({"b":false,"r":0,"s":"","w":,"e":,"o":{}})");
  EXPECT_EQ(document.ToText("s"), R"("")");
  EXPECT_EQ(document.KindAt("o"), JsonKind::Object);
}

TEST(JsonWriter, TextBuilderGrowsByTwiceItsCapacityPlusTheAppend) {
  TextBuilder builder;
  EXPECT_EQ(builder.CapacityBytes(), 12u);
  builder.Append(u"abcde");  // 5 units and the zero unit fit in 12 bytes
  EXPECT_EQ(builder.CapacityBytes(), 12u);
  builder.Append(u"f");
  EXPECT_EQ(builder.CapacityBytes(), 2 * 12u + 2 * 1 + 2);
  builder.Append(std::u16string(40, u'x'));
  EXPECT_EQ(builder.CapacityBytes(), 2 * 28u + 2 * 40 + 2);
  EXPECT_EQ(builder.View(), u"abcdef" + std::u16string(40, u'x'));
  EXPECT_EQ(builder.View().data()[builder.View().size()], u'\0');
}

}  // namespace
}  // namespace json
