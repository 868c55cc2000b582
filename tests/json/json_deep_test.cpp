// Trees far deeper than any call stack could recurse through.
#include <gtest/gtest.h>

#include <string>

#include "json/json_document.h"

namespace json {
namespace {

constexpr int kDepth = 1000000;

std::string Nested(const std::string& open, const std::string& inner, const std::string& close) {
  std::string text;
  text.reserve((open.size() + close.size()) * kDepth + inner.size());
  for (int k = 0; k < kDepth; ++k) text += open;
  text += inner;
  for (int k = 0; k < kDepth; ++k) text += close;
  return text;
}

TEST(JsonDeep, ArraysAreReadWrittenCopiedAndReleased) {
  const std::string text = Nested("[", "1", "]");
  JsonDocument document;
  ASSERT_TRUE(document.ResetAndParse(text, true));
  EXPECT_EQ(document.ToText(""), text);
  EXPECT_EQ(document.ToText("", /*pretty=*/true), text);  // arrays stay on one line
  JsonDocument copy = document.CloneAt("");
  document.DropRoot();
  EXPECT_EQ(copy.ToText(""), text);
  JsonDocument appended = JsonDocument::NewArray();
  EXPECT_TRUE(appended.Append("", copy));
  copy.DropRoot();
  EXPECT_EQ(appended.CountAt(""), 1);
}

TEST(JsonDeep, ObjectsAreReadWrittenMergedAndTested) {
  const std::string text = Nested(R"({"a":)", "1", "}");
  JsonDocument document;
  ASSERT_TRUE(document.ParseLooseKeys(text));
  EXPECT_EQ(document.ToText("", /*pretty=*/false), text);
  EXPECT_TRUE(document.MergeText("", Nested(R"({"a":)", "2", "}"), false, true));
  std::string path = "a";
  for (int k = 1; k < kDepth; ++k) path += ".a";
  EXPECT_TRUE(document.Exists(path));
  EXPECT_EQ(document.GetIntegerAt(path), 2);
  EXPECT_FALSE(document.Exists(path + ".a"));
}

}  // namespace
}  // namespace json
