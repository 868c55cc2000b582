// Cookie modes across redirect chains, against a real server.
#include <gtest/gtest.h>

#include "http/http_request.h"
#include "tests/http/test_server.h"

namespace http {
namespace {

using http_test::RecordedRequest;
using http_test::Reply;
using http_test::Response;
using http_test::TestServer;

// <prefix>/start sets a=1 and sends to the relative "next", which sets b=2
// and sends to the root-relative <prefix>/third, which deletes a and sends
// to the absolute <prefix>/final.
Reply Chain(const TestServer* server, std::string_view prefix, const RecordedRequest& r) {
  std::string target = r.Target();
  std::string path = target.substr(prefix.size());
  if (path == "/start") return {Response(302, "Found", {{"Set-Cookie", "a=1; Path=/"}, {"Location", "next"}})};
  if (path == "/next") {
    return {Response(301, "Moved", {{"SET-COOKIE", "b=2"}, {"Location", std::string(prefix) + "/third"}})};
  }
  if (path == "/third") {
    return {Response(303, "See Other",
                     {{"Set-Cookie", "a=deleted; expires=Thu, 01 Jan 1970 00:00:00 GMT"},
                      {"Location", server->Url(std::string(prefix) + "/final")}})};
  }
  return {Response(200, "OK", {}, "final")};
}

struct ChainCase {
  int mode;
  const char* prefix;
  std::vector<std::string> cookies;  // Cookie header of each request; "-" for none
};

TEST(Redirects, CookiesOfEveryHopInEachMode) {
  const ChainCase cases[] = {
      {kCookiesPrivateJar, "/m1", {"", "a=1", "a=1; b=2", "b=2"}},
      {kCookiesSystemStore, "/m2", {"-", "a=1", "a=1; b=2", "b=2"}},
      {kCookiesPassThrough, "/m0", {"-", "-", "-", "-"}},
  };
  for (const ChainCase& c : cases) {
    TestServer* self = nullptr;
    TestServer server([&](const RecordedRequest& r) { return Chain(self, c.prefix, r); });
    self = &server;
    HttpRequest request;
    request.SetCookieMode(c.mode);
    request.Open("POST", server.Url(std::string(c.prefix) + "/start"));
    request.SetRequestHeader("X-Caller", "1");
    request.SendText("form=1");
    EXPECT_EQ(request.Status(), 200) << c.mode;
    EXPECT_EQ(request.ResponseBodyText(), "final") << c.mode;
    EXPECT_EQ(request.RedirectCount(), 0);

    auto sent = server.Requests();
    ASSERT_EQ(sent.size(), 4u) << c.mode;
    const std::string p = c.prefix;
    EXPECT_EQ(sent[0].request_line, "POST " + p + "/start HTTP/1.1");
    EXPECT_EQ(sent[1].request_line, "GET " + p + "/next HTTP/1.1");
    EXPECT_EQ(sent[2].request_line, "GET " + p + "/third HTTP/1.1");
    EXPECT_EQ(sent[3].request_line, "GET " + p + "/final HTTP/1.1");
    for (size_t i = 0; i < sent.size(); ++i) {
      std::string cookie = sent[i].Has("Cookie") ? sent[i].Value("Cookie") : "-";
      EXPECT_EQ(cookie, c.cookies[i]) << "mode " << c.mode << " request " << i;
      EXPECT_EQ(sent[i].Values("User-Agent"), std::vector<std::string>{std::string(kDefaultUserAgent)});
      EXPECT_TRUE(sent[i].body.empty() || i == 0);
    }
    if (c.mode != kCookiesPassThrough) {
      EXPECT_EQ(sent[0].Value("X-Caller"), "1");
      EXPECT_FALSE(sent[1].Has("X-Caller")) << "the caller's headers belong to the first request";
      EXPECT_FALSE(sent[1].Has("Content-Type"));
    }
  }
}

TEST(Redirects, TheTwentyFirstLocationIsNotFollowed) {
  TestServer server([](const RecordedRequest&) {
    return Reply{Response(302, "Found", {{"Location", "/loop"}, {"Set-Cookie", "n=1"}})};
  });
  HttpRequest request;
  request.SetCookieMode();
  request.Open("GET", server.Url("/loop"));
  request.SendText();
  EXPECT_EQ(server.Requests().size(), 21u);
  EXPECT_EQ(request.Status(), 302);
  EXPECT_EQ(request.RedirectLocation(0), "/loop");
  EXPECT_EQ(request.RedirectLocation(1), "http://127.0.0.1:" + std::to_string(server.Port()) + "/loop");
  EXPECT_EQ(request.RedirectCount(), 0);
}

TEST(Redirects, ALocationIsFollowedWhateverTheStatus) {
  TestServer server([](const RecordedRequest& r) {
    if (r.Target() == "/created") return Reply{Response(201, "Created", {{"Location", "/item"}})};
    if (r.Target() == "/described") return Reply{Response(200, "OK", {{"Content-Location", "/body"}})};
    return Reply{Response(200, "OK", {}, "item")};
  });
  HttpRequest request;
  request.SetCookieMode();
  request.Open("POST", server.Url("/created"));
  request.SendText();
  EXPECT_EQ(request.ResponseBodyText(), "item");
  request.Open("GET", server.Url("/described"));
  request.SendText();
  EXPECT_EQ(server.Requests().size(), 3u) << "a Content-Location is no redirect";

  request.SetFollowRedirects(0);
  request.Open("POST", server.Url("/created"));
  request.SendText();
  EXPECT_EQ(request.Status(), 201);
  EXPECT_EQ(server.Requests().size(), 4u);
}

TEST(Redirects, AFailedHopEndsTheChainWithStatusZero) {
  const std::string refused = "http://127.0.0.1:" + std::to_string(http_test::UnusedPort()) + "/gone";
  TestServer server([&refused](const RecordedRequest&) { return Reply{Response(302, "Found", {{"Location", refused}})}; });
  HttpRequest request;
  request.SetCookieMode(kCookiesSystemStore);
  request.Open("GET", server.Url("/to-nowhere"));
  request.SendText();
  EXPECT_EQ(request.Status(), 0);
  EXPECT_TRUE(request.ResponseBody().empty());
  EXPECT_EQ(request.RedirectCount(), 0);
}

TEST(PrivateJarOnTheWire, CookiesGoThroughTheJar) {
  TestServer server([](const RecordedRequest& r) {
    if (r.Target() == "/drop") return Reply{Response(200, "OK", {{"Set-Cookie", "a=deleted"}, {"Set-Cookie", "b="}})};
    return Reply{Response(200, "OK")};
  });
  HttpRequest request;
  request.SetCookieMode();
  request.Open("GET", server.Url("/empty"));
  request.SendText();
  request.Open("GET", server.Url("/given"));
  request.SetRequestHeader("cookie", "a=1; b=2");
  EXPECT_EQ(request.CookieJarLength(), 12);  // "; a=1; b=2; "
  request.SendText();
  request.Open("GET", server.Url("/drop"));
  request.SendText();  // keepOnDelete 1: both kept
  EXPECT_EQ(request.CookieJar(), "a=1; b=2");
  request.Open("GET", server.Url("/drop"));
  request.SendText(std::nullopt, 0);
  EXPECT_EQ(request.CookieJar(), "b=");
  EXPECT_EQ(request.JarCookie("b", 1), "b=");
  EXPECT_EQ(request.RemoveJarCookies("b"), 1);
  EXPECT_EQ(request.CookieJar(), "");

  auto sent = server.Requests();
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_TRUE(sent[0].Has("Cookie")) << "an empty jar sends an empty Cookie header";
  EXPECT_EQ(sent[0].Value("Cookie"), "");
  EXPECT_EQ(sent[1].Values("Cookie"), std::vector<std::string>{"a=1; b=2"});
  EXPECT_EQ(sent[3].Value("Cookie"), "a=1; b=2");

  request.SetCookieMode(0);
  EXPECT_EQ(request.CookieJar("x=1"), "");
  EXPECT_EQ(request.JarCookie("a"), "");
  EXPECT_EQ(request.MergeCookiePairsIntoJar("x=1"), 0);
}

TEST(SystemStoreOnTheWire, CookiesOutliveTheObject) {
  TestServer server([](const RecordedRequest&) { return Reply{Response(200, "OK", {{"Set-Cookie", "kept=1"}})}; });
  {
    HttpRequest first;
    first.SetCookieMode(kCookiesSystemStore);
    first.Open("GET", server.Url("/store/login"));
    first.SetCookies("given=2");
    first.SendText();
  }
  HttpRequest second;
  second.SetCookieMode(kCookiesSystemStore);
  second.Open("GET", server.Url("/store/page"));
  second.SendText();
  auto sent = server.Requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].Value("Cookie"), "given=2");
  EXPECT_EQ(sent[1].Value("Cookie"), "given=2; kept=1");
}

}  // namespace
}  // namespace http
