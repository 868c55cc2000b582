#include "http/http_request.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/http/test_server.h"

namespace http {
namespace {

using http_test::RecordedRequest;
using http_test::Reply;
using http_test::Response;
using http_test::TestServer;

Reply Ok(const RecordedRequest&) { return {Response(200, "OK", {}, "ok")}; }

const std::string kUserAgent(kDefaultUserAgent);
const std::string kForm(kFormContentType);

TEST(HttpRequest, TheCloudClientsPath) {
  const std::string binary("{\"a\":1}\0\xFF", 9);
  TestServer server([&binary](const RecordedRequest&) { return Reply{Response(200, "OK", {}, binary)}; });
  HttpRequest request;
  request.SetAutoHeaders();
  request.Open("GET", server.Url("/config"), 0);
  request.SetRequestHeader("X-Parse-Application-Id", "10001");
  request.SetRequestHeader("Content-Type", "application/json");
  request.SetRequestHeader("x-device", "\xD6\xD0");
  request.SendBytes(text::ByteArray());
  EXPECT_EQ(request.ResponseBody(), text::ByteArray(binary.begin(), binary.end()));
  EXPECT_EQ(request.Status(), 200);
  EXPECT_EQ(request.LastError(), "");

  request.Open("POST", server.Url("/classes/Note"), 0);
  request.SetRequestHeader("Content-Type", "application/json");
  request.SendText("{\"t\":\"\xD6\xD0\"}");
  EXPECT_EQ(request.Status(), 200);

  auto sent = server.Requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].request_line, "GET /config HTTP/1.1");
  std::vector<std::string> names = sent[0].Names();
  auto at = [&names](const char* name) { return std::find(names.begin(), names.end(), name) - names.begin(); };
  EXPECT_LT(at("X-Parse-Application-Id"), at("Content-Type"));
  EXPECT_LT(at("Content-Type"), at("x-device"));
  EXPECT_LT(at("x-device"), static_cast<long>(names.size()));
  EXPECT_EQ(sent[0].Values("User-Agent"), std::vector<std::string>{kUserAgent});
  EXPECT_EQ(sent[0].Values("Content-Type"), std::vector<std::string>{"application/json"});
  EXPECT_EQ(sent[0].Value("x-device"), "\xE4\xB8\xAD");
  EXPECT_EQ(sent[0].Value("Content-Length"), "0");
  EXPECT_FALSE(sent[0].Has("Cookie"));
  EXPECT_FALSE(sent[0].Has("Referer"));
  EXPECT_EQ(sent[1].body, "{\"t\":\"\xE4\xB8\xAD\"}");
  EXPECT_EQ(sent[1].Values("Content-Type"), std::vector<std::string>{"application/json"});
}

TEST(HttpRequest, NoResponseMeansStatusZeroAndNoBody) {
  HttpRequest request;
  request.SetAutoHeaders();
  request.Open("GET", "127.0.0.1:" + std::to_string(http_test::UnusedPort()) + "/config", 0);
  EXPECT_EQ(request.Url().substr(0, 7), "http://");
  EXPECT_EQ(request.SendBytes(text::ByteArray()), 1);
  EXPECT_NE(request.LastError(), "");
  EXPECT_TRUE(request.ResponseBody().empty());
  EXPECT_EQ(request.Status(), 0);
  EXPECT_EQ(request.ResponseTextFromUtf8(), "");
}

struct DefaultsCase {
  const char* what;
  std::function<void(HttpRequest&, const std::string& url)> run;
  std::vector<std::string> user_agents;
  std::vector<std::string> content_types;
};

TEST(HttpRequest, DefaultHeaders) {
  const DefaultsCase cases[] = {
      {"GET without a body", [](HttpRequest& r, const std::string& u) { r.Open("GET", u); r.SendText(); },
       {kUserAgent}, {}},
      {"post without a body", [](HttpRequest& r, const std::string& u) { r.Open("post", u); r.SendText(); },
       {kUserAgent}, {kForm}},
      {"omitted method with empty bytes", [](HttpRequest& r, const std::string& u) {
         r.Open("", u);
         r.SendBytes(text::ByteArray());
       },
       {kUserAgent}, {kForm}},
      {"PUT with a text", [](HttpRequest& r, const std::string& u) { r.Open("PUT", u); r.SendText("x=1"); },
       {kUserAgent}, {kForm}},
      {"type set after Open", [](HttpRequest& r, const std::string& u) {
         r.Open("POST", u);
         r.SetContentType("text/plain");
         r.SendText("x");
       },
       {kUserAgent}, {"text/plain"}},
      {"type set before Open", [](HttpRequest& r, const std::string& u) {
         r.SetContentType("text/plain");
         r.Open("POST", u);
         r.SendText("x");
       },
       {kUserAgent}, {kForm}},
      {"agent set after Open", [](HttpRequest& r, const std::string& u) {
         r.Open("GET", u);
         r.SetRequestHeader("user-agent", "Mine/1");
         r.SendText();
       },
       {"Mine/1"}, {}},
      {"agent masked", [](HttpRequest& r, const std::string& u) {
         r.Open("GET", u);
         r.MaskRequestHeader("User-Agent");
         r.SendText();
       },
       {"-"}, {}},
      {"no automatic headers", [](HttpRequest& r, const std::string& u) {
         r.SetAutoHeaders(0);
         r.Open("POST", u);
         r.SendText("x");
       },
       {}, {}},
  };
  for (const DefaultsCase& c : cases) {
    TestServer server(Ok);
    HttpRequest request;
    c.run(request, server.Url("/d"));
    ASSERT_EQ(server.Requests().size(), 1u) << c.what;
    const RecordedRequest sent = server.Requests()[0];
    EXPECT_EQ(sent.Values("User-Agent"), c.user_agents) << c.what;
    EXPECT_EQ(sent.Values("Content-Type"), c.content_types) << c.what;
  }
  TestServer server(Ok);
  HttpRequest request;
  request.Open("post", server.Url("/m"));
  request.SendText();
  EXPECT_EQ(server.Requests().at(0).Method(), "post") << "the method goes out as given";
}

TEST(HttpRequest, RefererIsHeldBackForTheNextSend) {
  TestServer server(Ok);
  HttpRequest request;
  request.Open("GET", server.Url("/1"));
  request.SetRequestHeader("Referer", "http://from/1");
  request.SendText();
  request.Open("GET", server.Url("/2"));
  request.SendText();
  request.Open("GET", server.Url("/3"));
  request.SetRequestHeaders("Accept: x\r\nReferer: http://from/3");
  request.SendText();
  request.SetReferer();  // the URL of the last Open
  request.Open("GET", server.Url("/4"));
  request.SendText();
  request.SetAutoHeaders(0);
  request.Open("GET", server.Url("/5"));
  request.SetRequestHeader("Referer", "http://from/5");
  request.SendText();

  auto sent = server.Requests();
  ASSERT_EQ(sent.size(), 5u);
  EXPECT_EQ(sent[0].Values("Referer"), std::vector<std::string>{"http://from/1"});
  EXPECT_FALSE(sent[1].Has("Referer"));
  EXPECT_EQ(sent[2].Values("Referer"), std::vector<std::string>{"http://from/3"});
  EXPECT_EQ(sent[2].Value("Accept"), "x");
  EXPECT_EQ(sent[3].Values("Referer"), std::vector<std::string>{server.Url("/3")});
  EXPECT_EQ(sent[4].Values("Referer"), std::vector<std::string>{"http://from/5"});
}

TEST(HttpRequest, HeaderBlocksAndNamedHeaders) {
  TestServer server(Ok);
  HttpRequest request;
  request.Open("GET", server.Url("/h"));
  request.SetRequestHeaders("Accept: x\r\nX-Id: 7\r\njunk\r\nX-Bad: 1\r\nX-Good:  2");
  request.SetRequestHeader("X-Split", "1\r\nX-Injected: yes");
  EXPECT_NE(request.LastError(), "");
  request.SetRequestHeader("", "ignored");
  request.SetAcceptLanguage();
  request.SetOrigin();
  request.MarkAjax();
  request.SetForwardedAddress("10.0.0.1");
  request.SetCookies("c=1; d=2");  // mode 0: a plain header
  request.SendText();

  const RecordedRequest sent = server.Requests().at(0);
  EXPECT_EQ(sent.Value("Accept"), "x");
  EXPECT_EQ(sent.Value("X-Id"), "7");
  EXPECT_EQ(sent.Value("X-Good"), "2");
  for (const char* absent : {"X-Bad", "junk", "X-Split", "X-Injected"}) EXPECT_FALSE(sent.Has(absent)) << absent;
  for (const std::string& line : sent.header_lines) EXPECT_EQ(line.find("junk"), std::string::npos);
  EXPECT_EQ(sent.Value("Accept-Language"), "zh-cn");
  EXPECT_EQ(sent.Value("Origin"), server.Url("/h"));
  EXPECT_EQ(sent.Value("x-requested-with"), "XMLHttpRequest");
  EXPECT_EQ(sent.Value("Cookie"), "c=1; d=2");
  std::vector<std::string> names = sent.Names();
  auto forwarded = std::find(names.begin(), names.end(), "X-Forwarded-For");
  ASSERT_NE(forwarded, names.end());
  EXPECT_EQ(std::vector<std::string>(forwarded, forwarded + 4),
            (std::vector<std::string>{"X-Forwarded-For", "CLIENT_IP", "VIA", "REMOTE_ADDR"}));
  EXPECT_EQ(sent.Value("REMOTE_ADDR"), "10.0.0.1");
}

TEST(HttpRequest, ResponseReaders) {
  TestServer server([](const RecordedRequest&) {
    return Reply{Response(404, "Not Found",
                          {{"Set-Cookie", "sid=abc; Path=/"}, {"set-cookie", "old=deleted"}, {"Set-Cookie", "flag"}},
                          std::string("\xE4\xB8\xAD\0tail", 8))};
  });
  HttpRequest request;
  request.Open("GET", server.Url("/r"));
  request.SendText();
  EXPECT_EQ(request.Status(), 404);
  EXPECT_EQ(request.StatusText(), "Not Found");
  EXPECT_EQ(request.ResponseBodyText(), "\xE4\xB8\xAD");
  EXPECT_EQ(request.ResponseTextFromUtf8(), std::string("\xD6\xD0\0tail", 7));
  std::string streamed(std::istreambuf_iterator<char>(*request.ResponseStream()), {});
  EXPECT_EQ(streamed.size(), 8u);
  EXPECT_EQ(request.ResponseCookies(), "sid=abc; flag");
  EXPECT_EQ(request.ResponseCookie("sid"), "abc");
  EXPECT_EQ(request.ResponseCookie("old"), "deleted");
  EXPECT_EQ(request.ResponseHeader("SET-COOKIE"), "sid=abc; Path=/");
}

struct RetryCase {
  const char* what;
  std::vector<int> statuses;  // answer n gets statuses[n]; 0 drops the connection
  int attempts;
  int result;
  size_t requests;
};

TEST(HttpRequest, RetriesOnlyOnNoResponse504And407) {
  const RetryCase cases[] = {
      {"transient failures then success", {504, 407, 0, 200}, 5, 1, 4},
      {"a 500 ends at once", {500, 200}, 5, 0, 1},
      {"a 302 counts as success", {302}, 5, 1, 1},
      {"five attempts at most", {504, 504, 504, 504, 504, 504, 200}, 5, 0, 5},
      {"fewer attempts asked", {0, 0, 200}, 2, 0, 2},
      {"no attempt", {200}, 0, 0, 0},
  };
  for (const RetryCase& c : cases) {
    size_t answered = 0;
    TestServer server([&c, &answered](const RecordedRequest&) {
      int status = c.statuses.at(std::min(answered++, c.statuses.size() - 1));
      return Reply{status == 0 ? "" : Response(status, "Status")};
    });
    HttpRequest request;
    EXPECT_EQ(request.GetWithRetries(server.Url("/retry"), "k=v", "X-Try: 1", "", c.attempts), c.result) << c.what;
    auto sent = server.Requests();
    EXPECT_EQ(sent.size(), c.requests) << c.what;
    for (const RecordedRequest& r : sent) {
      EXPECT_EQ(r.Method(), "GET") << c.what;
      EXPECT_EQ(r.Value("Cookie"), "k=v") << c.what;
      EXPECT_EQ(r.Value("X-Try"), "1") << c.what;
    }
  }
}

TEST(HttpRequest, PostsWithRetries) {
  TestServer server(Ok);
  HttpRequest request;
  EXPECT_EQ(request.PostTextWithRetries(server.Url("/t"), "\xD6\xD0=1"), 1);
  const text::ByteArray bytes = {1, 0, 2};
  EXPECT_EQ(request.PostBytesWithRetries(server.Url("/b"), bytes, "", "Content-Type: application/octet-stream"), 1);
  auto sent = server.Requests();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0].request_line, "POST /t HTTP/1.1");
  EXPECT_EQ(sent[0].body, "\xE4\xB8\xAD=1");
  EXPECT_EQ(sent[0].Value("Content-Type"), kForm);
  EXPECT_EQ(sent[1].body, std::string("\1\0\2", 3));
  EXPECT_EQ(sent[1].Values("Content-Type"), std::vector<std::string>{"application/octet-stream"});
}

TEST(HttpRequest, CertificateErrorsAreIgnoredByDefault) {
  TestServer server(Ok, http_test::Transport::kTls);
  HttpRequest request;
  request.Open("GET", server.Url("/s"));
  request.SendText();
  EXPECT_EQ(request.Status(), 200) << request.LastError();
  request.SetIgnoreCertificateErrors(0);
  request.Open("GET", server.Url("/s"));
  request.SendText();
  EXPECT_EQ(request.Status(), 0);
  EXPECT_NE(request.LastError(), "");
  request.SetIgnoreCertificateErrors();
  request.Open("GET", server.Url("/s"));
  request.SendText();
  EXPECT_EQ(request.Status(), 200);
}

TEST(HttpRequest, ProxyCredentialsSurviveARecreatedObject) {
  TestServer proxy([](const RecordedRequest&) { return Reply{Response(200, "OK", {{"Set-Cookie", "p=1"}})}; });
  HttpRequest request;
  request.SetCookieMode(kCookiesPrivateJar);
  request.SetProxy("127.0.0.1:" + std::to_string(proxy.Port()), "user", "secret");
  request.Open("GET", "http://service.invalid/a");
  request.SendText();
  EXPECT_EQ(request.CookiesChanged(), 1);
  auto first_object = request.ComObject();
  request.Open("GET", "http://service.invalid/b");
  EXPECT_NE(request.ComObject(), first_object) << "changed cookies give a fresh object";
  request.SendText();
  auto sent = proxy.Requests();
  ASSERT_EQ(sent.size(), 2u);
  for (const RecordedRequest& r : sent) EXPECT_EQ(r.Value("Proxy-Authorization"), "Basic dXNlcjpzZWNyZXQ=");
  EXPECT_EQ(sent[1].request_line, "GET http://service.invalid/b HTTP/1.1");
  EXPECT_EQ(sent[1].Value("Cookie"), "p=1");

  TestServer direct(Ok);
  request.Recreate();  // back to the defaults: no proxy
  request.Open("GET", direct.Url("/c"));
  request.SendText();
  EXPECT_EQ(direct.Requests().size(), 1u);
  EXPECT_EQ(request.CookieModeValue(), kCookiesPassThrough);
}

TEST(HttpRequest, AsyncSendWaitsForTheCaller) {
  TestServer server([](const RecordedRequest&) { return Reply{Response(200, "OK", {{"Set-Cookie", "a=1"}}, "x"), 100}; });
  HttpRequest request;
  request.SetCookieMode();
  request.Open("GET", server.Url("/async"), 1);
  EXPECT_EQ(request.SendText(), 1);
  EXPECT_EQ(request.WaitForResponse(-1), 1);
  EXPECT_EQ(request.Status(), 200);
  EXPECT_EQ(request.CookieJar(), "") << "no intake after an asynchronous send";
  request.Open("GET", server.Url("/async"), 1);
  request.SendText();
  request.Abort();
  EXPECT_EQ(request.Status(), 0);
}

TEST(HttpRequest, CopiesShareThePlatformObject) {
  HttpRequest original;
  original.SetCookieMode();
  original.CookieJar("a=1");
  HttpRequest copy(original);
  EXPECT_EQ(copy.ComObject(), original.ComObject());
  copy.CookieJar("b=2");
  EXPECT_EQ(original.CookieJar(), "a=1");
  EXPECT_EQ(copy.CookieJar(), "b=2");
  auto replacement = std::make_shared<platform::WebRequest>();
  EXPECT_EQ(copy.ComObject(replacement), replacement);
  EXPECT_NE(original.ComObject(), replacement);
  copy.ReleaseComObject();
  copy.Open("GET", "http://127.0.0.1/");
  EXPECT_EQ(copy.Status(), 0);
  EXPECT_NE(copy.LastError(), "");
}

TEST(HttpRequest, RedirectOptionFollowsTheCookieMode) {
  HttpRequest request;
  auto option6 = [&request] { return std::get<std::int32_t>(request.ComObject()->Option(6)); };
  EXPECT_EQ(option6(), 1);
  request.SetCookieMode(1);
  EXPECT_EQ(option6(), 0) << "the object follows redirects itself";
  request.SetFollowRedirects(1);
  EXPECT_EQ(option6(), 0);
  EXPECT_EQ(request.Option(6, 1), platform::WebOptionValue(1));
  EXPECT_EQ(option6(), 0);
  request.SetCookieMode(5);  // out of range: mode 0
  EXPECT_EQ(request.CookieModeValue(), 0);
  EXPECT_EQ(option6(), 1);
  request.SetFollowRedirects(0);
  EXPECT_EQ(option6(), 0);
  EXPECT_EQ(request.Option(6), platform::WebOptionValue(0));
  EXPECT_EQ(request.Option(4), platform::WebOptionValue(platform::kIgnoreAllCertificateErrors));
}

}  // namespace
}  // namespace http
