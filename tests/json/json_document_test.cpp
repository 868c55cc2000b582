#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json/json_document.h"
#include "json/json_node.h"

namespace json {
namespace {

JsonDocument Read(const char* text) {
  JsonDocument document;
  EXPECT_TRUE(document.ResetAndParse(text, true)) << text;
  return document;
}

TEST(JsonDocument, GettersReadOnlyTheirOwnKinds) {
  JsonDocument document = Read(R"({"n":7,"r":-2.7,"s":"x","b":true,"z":0})");
  EXPECT_EQ(document.GetStringAt("n"), "");
  EXPECT_EQ(document.GetRealAt("s"), 0.0);
  EXPECT_EQ(document.GetRealAt("n"), 7.0);
  EXPECT_EQ(document.GetIntegerAt("r"), -2);
  EXPECT_EQ(document.GetIntegerAt("s"), 0);
  EXPECT_TRUE(document.GetBoolAt("b"));
  EXPECT_FALSE(document.GetBoolAt("z"));
  EXPECT_EQ(document.GetStringAt("s"), "x");
  EXPECT_EQ(document.GetStringAt(u"s"), u"x");
}

TEST(JsonDocument, ReadingAPathCreatesWhatIsMissing) {
  JsonDocument document = Read("{}");
  EXPECT_EQ(document.GetRealAt("params.a.ver"), 0.0);
  EXPECT_EQ(document.ToText(""), R"({"params":{"a":{"ver":null}}})");

  document = Read(R"({"a":"x"})");
  document.GetStringAt("a.b");
  EXPECT_EQ(document.ToText(""), R"({"a":{"b":null}})");

  document = Read(R"({"a":{"k":1}})");
  EXPECT_EQ(document.KindAt("a[1]"), JsonKind::Null);
  EXPECT_EQ(document.ToText(""), R"({"a":[null,null]})");

  document = Read(R"({"a":1})");
  EXPECT_EQ(document.GetStringAt("a[-1].b"), "");
  EXPECT_FALSE(document.SetStringAt("a[-1]", "x"));
  EXPECT_EQ(document.KindAt("a[-1]"), JsonKind::Raw);  // no node
  EXPECT_EQ(document.ToText(""), R"({"a":1})");

  JsonDocument empty;
  EXPECT_EQ(empty.GetStringAt("a"), "");
  EXPECT_FALSE(empty.SetIntegerAt("a", 1));
  EXPECT_EQ(empty.ToText(""), "");
}

TEST(JsonDocument, ExistsChangesNothing) {
  JsonDocument document = Read(R"({"a":"x","b":{"k":1},"c":[],"d":[5]})");
  EXPECT_FALSE(document.Exists("a.b"));
  EXPECT_FALSE(document.Exists("b[1]"));
  EXPECT_FALSE(document.Exists("params.a.ver"));
  EXPECT_FALSE(document.Exists(""));
  EXPECT_FALSE(document.Exists("c[0]"));
  EXPECT_FALSE(document.Exists("d[-1]"));
  EXPECT_TRUE(document.Exists("d[0]"));
  EXPECT_TRUE(document.Exists(u"b.k"));
  EXPECT_EQ(document.ToText(""), R"({"a":"x","b":{"k":1},"c":[],"d":[5]})");
}

TEST(JsonDocument, PathsHaveEscapesNamesAndOneIndexPerSegment) {
  JsonDocument document = Read(R"({"a.b":1,"a":[[0,1],[2,3,4]],"":{"b":5},"x":{"":{"b":6}},"c\\d":7})");
  EXPECT_EQ(document.GetIntegerAt(R"(a\.b)"), 1);
  EXPECT_EQ(document.KindAt("a[1][2]"), JsonKind::Array);  // a[1]
  EXPECT_EQ(document.GetIntegerAt("a[1].[2]"), 4);
  EXPECT_EQ(document.GetIntegerAt("a[+1].[0]"), 2);
  EXPECT_EQ(document.GetIntegerAt("a[1x].[1]"), 3);  // reading stops at x
  EXPECT_EQ(document.GetIntegerAt("a[].[1]"), 1);    // no digits: 0
  EXPECT_EQ(document.GetIntegerAt(".b"), 5);
  EXPECT_EQ(document.GetIntegerAt("x..b"), 6);
  EXPECT_EQ(document.GetIntegerAt(R"(c\\d)"), 7);
  EXPECT_EQ(document.GetIntegerAt(R"(c\d)"), 7);  // a backslash before d stays
  EXPECT_EQ(document.ToText(""), R"({"a.b":1,"a":[[0,1],[2,3,4]],"":{"b":5},"x":{"":{"b":6}},"c\\d":7})");

  document = Read("[[1],[2]]");
  EXPECT_EQ(document.GetIntegerAt("[1].[0]"), 2);
  document = Read("{}");
  document.SetIntegerAt("a.", 1);
  EXPECT_EQ(document.ToText(""), R"({"a":{"":1}})");
}

TEST(JsonDocument, MembersKeepTheirPlaceWhenSetAgain) {
  JsonDocument document = Read(R"({"a":1,"b":2})");
  document.SetIntegerAt("a", 3);
  EXPECT_EQ(document.ToText(""), R"({"a":3,"b":2})");
  EXPECT_TRUE(document.RemoveMember("", "a"));
  EXPECT_FALSE(document.RemoveMember("", "a"));
  document.SetIntegerAt("a", 3);
  EXPECT_EQ(document.ToText(""), R"({"b":2,"a":3})");
  EXPECT_TRUE(document.SetMember("", "b", JsonDocument::NewString("x")));
  EXPECT_EQ(document.ToText(""), R"({"b":"x","a":3})");
  EXPECT_FALSE(document.RemoveMember("a", "k"));  // not an object: no conversion
  EXPECT_EQ(document.KindAt("a"), JsonKind::Integer);
}

TEST(JsonDocument, TheTableGrowsAtTheNinthMember) {
  JsonDocument document = JsonDocument::NewObject();
  std::vector<uint32_t> buckets;
  std::string expected = "{";
  for (int k = 0; k < 12; ++k) {
    std::string key = "key" + std::to_string(11 - k);
    document.SetIntegerAt(key, k);
    buckets.push_back(BucketCount(document.GetRootHandle()));
    expected += (k ? ",\"" : "\"") + key + "\":" + std::to_string(k);
  }
  EXPECT_EQ(buckets, (std::vector<uint32_t>{11, 11, 11, 11, 11, 11, 11, 11, 23, 23, 23, 23}));
  EXPECT_EQ(document.ToText(""), expected + "}");
  for (int k = 0; k < 12; ++k) EXPECT_EQ(document.GetIntegerAt("key" + std::to_string(11 - k)), k);
  for (int k = 12; k < 100; ++k) document.SetIntegerAt("key" + std::to_string(k), k);
  EXPECT_EQ(BucketCount(document.GetRootHandle()), 191u);  // 11, 23, 47, 95, 191
  EXPECT_EQ(document.CountAt(""), 100);

  // Members taken out from anywhere leave every other one found and in order.
  for (int k = 0; k < 100; k += 3) EXPECT_TRUE(document.RemoveMember("", "key" + std::to_string(k)));
  document.NodeAt("key1").DetachRoot();
  std::vector<std::string> keys;
  ASSERT_EQ(document.KeysAt("", keys), 100 - 34 - 1);
  for (const std::string& key : keys) {
    int n = std::stoi(key.substr(3));
    EXPECT_EQ(document.GetIntegerAt(key), n < 12 ? 11 - n : n) << key;
  }
  EXPECT_EQ(keys.front(), "key11");
  EXPECT_EQ(keys.back(), "key98");
  document.SetIntegerAt("key0", 0);
  EXPECT_TRUE(document.ToText("").ends_with(R"(,"key98":98,"key0":0})"));
}

TEST(JsonDocument, SharesWhereItShouldAndCopiesWhereItShould) {
  JsonDocument document = JsonDocument::NewObject();
  JsonDocument member = JsonDocument::NewObject();
  ASSERT_TRUE(document.SetMember("", "m", member));
  member.SetStringAt("k", "shared");
  EXPECT_EQ(document.GetStringAt("m.k"), "shared");

  JsonDocument element = JsonDocument::NewObject();
  ASSERT_TRUE(document.Append("list", element));
  element.SetStringAt("k", "copied");
  EXPECT_EQ(document.ToText("list"), "[{}]");

  JsonDocument got = document.GetMember("", "m");
  got.SetIntegerAt("n", 1);
  document.NodeAt("m.k").SetStringAt("", "changed");
  EXPECT_EQ(member.ToText(""), R"({"k":"changed","n":1})");

  JsonDocument clone = document.CloneAt("m");
  clone.SetIntegerAt("n", 2);
  EXPECT_EQ(document.GetIntegerAt("m.n"), 1);

  JsonDocument copy = document;  // copies share the tree
  copy.SetIntegerAt("c", 1);
  EXPECT_EQ(document.GetIntegerAt("c"), 1);

  EXPECT_FALSE(document.SetMember("", "x", JsonDocument()));
  EXPECT_FALSE(document.Append("", JsonDocument()));
  EXPECT_FALSE(document.SetElement("", 0, JsonDocument()));
  EXPECT_EQ(document.KindAt(""), JsonKind::Object);
}

TEST(JsonDocument, SetMemberCopiesANodeThatHasAPlaceOrHoldsTheTarget) {
  JsonDocument document = Read(R"({"a":{"k":1}})");
  ASSERT_TRUE(document.SetMember("", "b", document.GetMember("", "a")));
  ASSERT_TRUE(document.SetMember("a", "self", document));
  EXPECT_EQ(document.ToText(""), R"({"a":{"k":1,"self":{"a":{"k":1},"b":{"k":1}}},"b":{"k":1}})");
}

TEST(JsonDocument, SettersChangeTheNodeInPlace) {
  JsonDocument document = Read(R"({"a":{"x":[1,2]},"b":2})");
  JsonDocument a = document.NodeAt("a");
  for (auto set : {+[](JsonDocument& d) { return d.SetStringAt("a", "s"); },
                   +[](JsonDocument& d) { return d.SetBoolAt("a", true); },
                   +[](JsonDocument& d) { return d.SetRealAt("a", 0.5); },
                   +[](JsonDocument& d) { return d.SetIntegerAt("a", 9); },
                   +[](JsonDocument& d) { return d.SetNullAt("a"); }}) {
    ASSERT_TRUE(set(document));
    EXPECT_EQ(a.ToText(""), document.ToText("a"));
    EXPECT_EQ(a.ParentAt("").GetRootHandle(), document.GetRootHandle());
  }
  EXPECT_EQ(document.ToText(""), R"({"a":null,"b":2})");
  EXPECT_EQ(document.LiteralAt("a"), "null");
  document.SetRealAt("b", 2.50);
  EXPECT_EQ(document.LiteralAt("b"), "2.5");
  document.SetBoolAt(u"c", false);
  EXPECT_EQ(document.LiteralAt(u"c"), u"false");
  document.ClearAt("c");
  EXPECT_EQ(document.LiteralAt("c"), "");
  EXPECT_EQ(document.KindAt("c"), JsonKind::Bool);
}

TEST(JsonDocument, CopiesSpellNumbersFromTheirValues) {
  JsonDocument document = Read(R"({"r":1.50,"i":007,"w":tru})");
  EXPECT_EQ(document.LiteralAt("r"), "1.50");
  JsonDocument copy = document.CloneAt("");
  EXPECT_EQ(copy.LiteralAt("r"), "1.5");
  EXPECT_EQ(copy.LiteralAt("i"), "7");
  EXPECT_EQ(copy.LiteralAt("w"), "tru");
}

TEST(JsonDocument, ElementsArePaddedReplacedAndRemoved) {
  JsonDocument document = JsonDocument::NewArray();
  EXPECT_EQ(document.GetElement("", 2).KindAt(""), JsonKind::Null);
  EXPECT_EQ(document.ToText(""), "[null,null,null]");
  EXPECT_TRUE(document.SetElement("", 1, JsonDocument::NewInteger(5)));
  EXPECT_TRUE(document.SetElement("", 4, JsonDocument::NewBool(true)));
  EXPECT_EQ(document.ToText(""), "[null,5,null,null,true]");
  EXPECT_FALSE(document.SetElement("", -1, JsonDocument::NewNull()));
  EXPECT_EQ(document.GetElement("", -1).GetRootHandle(), nullptr);
  EXPECT_TRUE(document.RemoveElement("", 0));
  EXPECT_FALSE(document.RemoveElement("", 4));
  EXPECT_FALSE(document.RemoveElement("", -1));
  EXPECT_EQ(document.ToText(""), "[5,null,null,true]");
  EXPECT_EQ(document.CountAt(""), 4);
  EXPECT_TRUE(document.Append("", JsonDocument::NewString(u"\u4e2d")));
  EXPECT_EQ(document.GetStringAt("[4]"), "\xD6\xD0");
}

TEST(JsonDocument, ListsKeysAndChildrenInOrder) {
  JsonDocument document = Read(R"({"b":1,"a":[1,2],"c":"x"})");
  std::vector<std::string> keys{"old"};
  EXPECT_EQ(document.KeysAt("a", keys), 0);
  EXPECT_EQ(keys, std::vector<std::string>{"old"});
  EXPECT_EQ(document.KeysAt("", keys), 3);
  EXPECT_EQ(keys, (std::vector<std::string>{"b", "a", "c"}));
  std::vector<std::u16string> wide_keys;
  EXPECT_EQ(document.KeysAt(u"", wide_keys), 3);
  EXPECT_EQ(wide_keys[2], u"c");

  std::vector<JsonDocument> children;
  EXPECT_EQ(document.ChildrenAt("a", children), 2);
  children[1].SetIntegerAt("", 9);
  EXPECT_EQ(document.ToText("a"), "[1,9]");
  EXPECT_EQ(document.ChildrenAt("c", children), 0);
  EXPECT_EQ(children.size(), 2u);
}

TEST(JsonDocument, ParentAndDetachRoot) {
  JsonDocument document = Read(R"({"a":{"k":1},"b":2})");
  JsonDocument a = document.NodeAt("a");
  EXPECT_EQ(document.ParentAt("a.k").GetRootHandle(), a.GetRootHandle());
  EXPECT_EQ(document.ParentAt("").GetRootHandle(), nullptr);
  a.DetachRoot();
  EXPECT_EQ(document.ToText(""), R"({"b":2})");
  EXPECT_EQ(a.ToText(""), R"({"k":1})");
  EXPECT_EQ(a.ParentAt("").GetRootHandle(), nullptr);
  // Only the document holds the detached node now.
  EXPECT_EQ(a.GetRootHandle()->refs.load(), 1);
}

TEST(JsonDocument, MergeTextMergesObjectsMemberByMember) {
  JsonDocument document = Read(R"({"a":{"y":0},"c":3})");
  EXPECT_TRUE(document.MergeText("", R"({"a":{"x":1},"b":2})", false, true));
  EXPECT_EQ(document.ToText(""), R"({"a":{"y":0,"x":1},"c":3,"b":2})");

  document = Read(R"({"a":{"y":0},"c":3})");
  EXPECT_FALSE(document.MergeText("", R"({"a":{"x":1},"b":2})", false, false));
  EXPECT_EQ(document.ToText(""), R"({"a":{"y":0},"c":3})");

  for (bool add_missing : {false, true}) {
    document = Read(R"({"a":{"y":0},"z":1})");
    EXPECT_TRUE(document.MergeText("", R"({"a":5})", false, add_missing));
    EXPECT_EQ(document.ToText(""), R"({"a":5,"z":1})");
  }

  document = Read(R"({"a":{"y":0}})");
  EXPECT_FALSE(document.MergeText("", "[1]", false, true));
  EXPECT_FALSE(document.MergeText("", R"({"a":1)", false, true));
  EXPECT_EQ(document.ToText(""), R"({"a":{"y":0}})");

  // An empty incoming object stops the merge; members before it stay merged.
  document = Read(R"({"a":{"y":0},"b":{}})");
  EXPECT_FALSE(document.MergeText("", R"({"n":1,"a":{},"m":2})", false, true));
  EXPECT_EQ(document.ToText(""), R"({"a":{"y":0},"b":{},"n":1})");

  // Merged numbers are copies: their literals are spelled from the value.
  document = Read("{}");
  EXPECT_TRUE(document.MergeText(u"", u"{\"r\":1.50,\"s\":\"\\u4e2d\"}", true, true));
  EXPECT_EQ(document.LiteralAt("r"), "1.5");
  EXPECT_EQ(document.GetStringAt(u"s"), u"\u4e2d");

  JsonDocument array = Read("[1]");
  EXPECT_FALSE(array.MergeText("", R"({"a":1})", false, true));
  EXPECT_EQ(array.ToText(""), "[1]");
}

TEST(JsonDocument, SortsMembersByKey) {
  JsonDocument document = Read(R"({"b":1,"a":2})");
  EXPECT_TRUE(document.SortMembersAt("", false));
  EXPECT_EQ(document.ToText(""), R"({"a":2,"b":1})");
  EXPECT_TRUE(document.SortMembersAt("", true));
  EXPECT_EQ(document.ToText(""), R"({"b":1,"a":2})");
  EXPECT_EQ(document.GetIntegerAt("a"), 2);

  document = Read("{\"B\":0,\"b\":0,\"a-c\":0,\"ab\":0,\"A\":0,\"_\":0,\"10\":0,\"9\":0,\"\xD6\xD0\":0,\"a\":0}");
  EXPECT_TRUE(document.SortMembersAt("", false));
  std::vector<std::u16string> keys;
  document.KeysAt(u"", keys);
  EXPECT_EQ(keys, (std::vector<std::u16string>{u"_", u"10", u"9", u"a", u"A", u"ab", u"a-c", u"b", u"B", u"\u4e2d"}));
  EXPECT_FALSE(document.SortMembersAt("a", false));  // not an object
}

TEST(JsonDocument, ConvertsLocalTextWithCodePage936) {
  JsonDocument document = JsonDocument::NewObject();
  ASSERT_TRUE(document.SetStringAt("\xD6\xD0\xCE\xC4.k", "\xD6\xB5"));  // 中文.k = 值
  EXPECT_EQ(document.GetStringAt(u"\u4e2d\u6587.k"), u"\u503c");
  EXPECT_EQ(document.ToText(""), "{\"\xD6\xD0\xCE\xC4\":{\"k\":\"\xD6\xB5\"}}");
  document.SetStringAt(u"x", u"\uAC00");  // beyond code page 936
  EXPECT_EQ(document.GetStringAt("x"), "?");
  EXPECT_EQ(JsonDocument::NewString("\xD6\xD0").GetStringAt(u""), u"\u4e2d");
}

TEST(JsonDocument, ResetAndParseStartsAnEmptyObject) {
  JsonDocument document = Read(R"({"k":1})");
  JsonDocument old = document;
  EXPECT_TRUE(document.ResetAndParse("ignored", false));
  EXPECT_EQ(document.ToText(""), "{}");
  EXPECT_EQ(old.ToText(""), R"({"k":1})");
  EXPECT_FALSE(document.ResetAndParse("{\"a\":", true));
  document.DropRoot();
  EXPECT_EQ(document.GetRootHandle(), nullptr);
  EXPECT_TRUE(document.Parse(u"[1]"));
  EXPECT_EQ(document.ToText(""), "[1]");
}

}  // namespace
}  // namespace json
