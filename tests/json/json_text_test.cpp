#include <gtest/gtest.h>

#include <string>

#include "json/json_text.h"

namespace json {
namespace {

TEST(JsonText, KeepsEveryTextWhateverLayoutItTakes) {
  const std::u16string texts[] = {
      u"a", u"abcdefg", u"abcdefgh", u"\u00ff\u00fe", u"\u4e2d", u"\u4e2d\u6587\u5b57", u"\u4e2d\u6587\u5b57\u7b26",
      u"x\u0100", u"1.50", u"-1234.5678e+10", u"-1234.5678e+100", u"1 2", u"12345678", u"1234567890abcd",
      u"\0\0", std::u16string(1000, u'\uffff'),
  };
  for (const std::u16string& text : texts) {
    JsonText stored;
    ASSERT_TRUE(stored.Assign(text));
    JsonText::Scratch scratch;
    EXPECT_EQ(stored.View(scratch), text) << text.size();
    EXPECT_TRUE(stored.Equals(text));
    EXPECT_FALSE(stored.Equals(text + u"x"));
    JsonText moved = std::move(stored);
    EXPECT_TRUE(stored.Empty());
    EXPECT_TRUE(moved.Equals(text));
  }
  JsonText empty;
  ASSERT_TRUE(empty.Assign(u""));
  EXPECT_TRUE(empty.Empty());
  EXPECT_TRUE(empty.Equals(u""));
}

}  // namespace
}  // namespace json
