#include <gtest/gtest.h>

#include "http/header_block.h"
#include "http/private_cookie_jar.h"
#include "http/response_headers.h"
#include "http/system_cookie_store.h"

namespace http {
namespace {

PrivateCookieJar JarOf(std::string_view entries) {
  PrivateCookieJar jar;
  jar.Replace(entries);
  return jar;
}

TEST(SetCookieScan, PairsInOrderAttributesDropped) {
  std::string headers =
      "Content-Type: text/plain\r\n"
      "Set-Cookie: a=1; Path=/; HttpOnly\r\n"
      "set-COOKIE:b=2\r\n"
      "Set-Cookie:   noequals\r\n"
      "Set-Cookie: c=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT\r\n"
      "Set-Cookie: cut=off";  // no line end: the scan stops
  EXPECT_EQ(SetCookiePairs(headers), (std::vector<text::Text>{"a=1", "b=2", "noequals", "c=deleted"}));
  EXPECT_EQ(ResponseCookieValue(headers, "a"), "1");
  EXPECT_EQ(ResponseCookieValue(headers, "b"), "2");
  EXPECT_EQ(ResponseCookieValue(headers, "cut"), "");
  EXPECT_EQ(ResponseCookieValue(headers, "z"), "");
}

TEST(SetCookieScan, OnlyThreeDeletionMarkers) {
  EXPECT_TRUE(IsDeletionMarker("a=deleted"));
  EXPECT_TRUE(IsDeletionMarker("a=DELETED"));
  EXPECT_TRUE(IsDeletionMarker("a=Deleted"));
  EXPECT_FALSE(IsDeletionMarker("a=DeLeTeD"));
  EXPECT_FALSE(IsDeletionMarker("a=undeleted1"));
}

TEST(LocationHeaderScan, OnlyAHeaderNamedLocation) {
  EXPECT_EQ(LocationHeader("Content-Location: /body\r\nlocation:  /next \r\n"), "/next");
  EXPECT_EQ(LocationHeader("Content-Location: /body\r\n"), "");
  EXPECT_EQ(LocationHeader("Location: /no-line-end"), "");
}

TEST(PrivateJar, ResponsePairsMergeInArrivalOrder) {
  PrivateCookieJar jar = JarOf("a=1; b=2");
  EXPECT_TRUE(jar.TakeResponsePair("a=9", true));
  EXPECT_TRUE(jar.TakeResponsePair("c=3", true));
  EXPECT_EQ(jar.Text(), "; a=9; b=2; c=3; ");
  EXPECT_EQ(jar.Length(), 17);
  EXPECT_FALSE(jar.TakeResponsePair("a=9", true));  // nothing changed
  EXPECT_FALSE(jar.TakeResponsePair("novalue", false));
  EXPECT_TRUE(jar.TakeResponsePair("A=4", true));  // names are case-sensitive
  EXPECT_EQ(jar.Entries(), "a=9; b=2; c=3; A=4");
}

TEST(PrivateJar, DeletionAndEmptyValuesHonourKeepOnDelete) {
  PrivateCookieJar jar = JarOf("a=1; b=2; c=3");
  EXPECT_FALSE(jar.TakeResponsePair("b=deleted", true));
  EXPECT_FALSE(jar.TakeResponsePair("a=", true));
  EXPECT_EQ(jar.Entries(), "a=1; b=2; c=3");
  EXPECT_TRUE(jar.TakeResponsePair("b=deleted", false));
  EXPECT_EQ(jar.Text(), "; a=1; c=3; ");
  EXPECT_TRUE(jar.TakeResponsePair("a=", false));
  EXPECT_EQ(jar.Text(), "; a=; c=3; ");
  EXPECT_FALSE(jar.TakeResponsePair("x=deleted", false));  // not held: ignored
  EXPECT_TRUE(jar.TakeResponsePair("y=", true));           // not held: appended
  EXPECT_TRUE(jar.TakeResponsePair("z=DeLeTeD", true));    // an ordinary value
  EXPECT_EQ(jar.Entries(), "a=; c=3; y=; z=DeLeTeD");
}

TEST(PrivateJar, CallerPairsAndRemoval) {
  PrivateCookieJar jar;
  EXPECT_TRUE(jar.TakePairs("x=1;y"));
  EXPECT_EQ(jar.Text(), "; x=1; ");
  EXPECT_TRUE(jar.TakePairs("  x=2 ; a=5; b=6"));  // trailing spaces stay
  EXPECT_EQ(jar.Entries(), "x=2 ; a=5; b=6");
  EXPECT_FALSE(jar.TakePairs("noequals"));
  EXPECT_TRUE(jar.Remove("a=anything; b"));
  EXPECT_EQ(jar.Entries(), "x=2 ");
  EXPECT_FALSE(jar.Remove("zz"));
}

TEST(PrivateJar, ReplacementAndLookup) {
  PrivateCookieJar jar = JarOf("a=1");
  EXPECT_EQ(jar.Text(), "; a=1; ");
  EXPECT_EQ(jar.Entries(), "a=1");
  EXPECT_EQ(jar.Value("a", false), "1");
  EXPECT_EQ(jar.Value("a", true), "a=1");
  EXPECT_EQ(jar.Value("b", false), "");
  EXPECT_EQ(jar.Value("", false), "");
  EXPECT_EQ(JarOf("; a=1;").Text(), "; a=1; ");
  EXPECT_EQ(JarOf("; a=1; ").Text(), "; a=1; ");
  // A replacement ending in a space still closes its last entry.
  PrivateCookieJar spaced = JarOf("a=1 ");
  EXPECT_TRUE(spaced.TakeResponsePair("b=2", true));
  EXPECT_EQ(spaced.Value("b", false), "2");
  jar.Clear();
  EXPECT_EQ(jar.Text(), "; ");
  EXPECT_EQ(jar.Entries(), "");
}

TEST(HeaderBlock, LinesNamesAndValues) {
  auto lines = SplitHeaderBlock("Accept: x\r\nX-Id:   7");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].name, "Accept");
  EXPECT_EQ(lines[0].value, "x");
  EXPECT_EQ(lines[1].name, "X-Id");
  EXPECT_EQ(lines[1].value, "7");

  // A line without a colon starts the name of the next header.
  lines = SplitHeaderBlock("junk\r\nA: 1\r\n");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].name, "junk\r\nA");
  EXPECT_EQ(lines[0].value, "1");

  lines = SplitHeaderBlock(" Spaced : v: w\r\n\r\nnocolon");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].name, " Spaced ");
  EXPECT_EQ(lines[0].value, "v: w");
  EXPECT_TRUE(SplitHeaderBlock("").empty());
}

TEST(SystemCookieStore, MatchesHostAndPath) {
  SetSystemCookie("http://store.test/app/login", "s", "1");
  SetSystemCookie("http://store.test/app/login", "t", "2; path=/");
  SetSystemCookie("http://other.store.test/", "d", "3; domain=store.test");
  SetSystemCookie("http://store.test/elsewhere/x", "e", "4");
  EXPECT_EQ(SystemCookieHeader("http://store.test/app/next"), "s=1; t=2; d=3");
  EXPECT_EQ(SystemCookieHeader("http://STORE.test/"), "t=2; d=3");
  EXPECT_EQ(SystemCookieHeader("http://store.test/application"), "t=2; d=3");
  EXPECT_EQ(SystemCookieHeader("http://www.store.test/app/"), "d=3");
  EXPECT_EQ(SystemCookieHeader("http://unrelated.test/app/"), "");
  SetSystemCookie("http://store.test/app/login", "s", "9");
  SetSystemCookie("http://store.test/elsewhere/y", "e", "");
  EXPECT_EQ(SystemCookieHeader("http://store.test/app/a?q=/x"), "s=9; t=2; d=3");
  EXPECT_EQ(SystemCookieHeader("http://store.test/elsewhere/"), "t=2; d=3");
}

}  // namespace
}  // namespace http
