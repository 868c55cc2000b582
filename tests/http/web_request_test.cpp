#include "platform/web_request.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "tests/http/test_server.h"

namespace platform {
namespace {

using http_test::Reply;
using http_test::Response;
using http_test::TestServer;

Reply Ok(const http_test::RecordedRequest&) { return {Response(200, "OK", {}, "ok")}; }

std::string BodyText(WebRequest& request) {
  std::vector<std::uint8_t> body = request.ResponseBody();
  return std::string(body.begin(), body.end());
}

TEST(WebRequest, HeadersKeepTheCallersNamesCaseAndOrder) {
  TestServer server(Ok);
  WebRequest request;
  ASSERT_TRUE(request.Open("GET", server.Url("/h"), false));
  EXPECT_TRUE(request.SetRequestHeader("X-B", "2"));
  EXPECT_TRUE(request.SetRequestHeader("x-a", "1"));
  EXPECT_TRUE(request.SetRequestHeader("X-Empty", ""));
  EXPECT_TRUE(request.SetRequestHeader("x-b", "3"));  // replaces in place
  ASSERT_TRUE(request.Send()) << request.LastError();
  EXPECT_EQ(request.Status(), 200);
  EXPECT_EQ(BodyText(request), "ok");

  auto sent = server.Requests().at(0);
  EXPECT_EQ(sent.request_line, "GET /h HTTP/1.1");
  std::vector<std::string> caller;
  for (const std::string& name : sent.Names()) {
    if (name.starts_with("X-") || name.starts_with("x-")) caller.push_back(name);
  }
  EXPECT_EQ(caller, (std::vector<std::string>{"X-B", "x-a", "X-Empty"}));
  EXPECT_EQ(sent.Value("X-B"), "3");
  EXPECT_TRUE(sent.Has("X-Empty"));
  EXPECT_EQ(sent.Value("X-Empty"), "");
  EXPECT_FALSE(sent.Has("Content-Type"));
  EXPECT_FALSE(sent.Has("User-Agent"));
  EXPECT_FALSE(sent.Has("Content-Length"));
}

TEST(WebRequest, LineBreaksInHeadersNeverReachTheWire) {
  TestServer server(Ok);
  WebRequest request;
  ASSERT_TRUE(request.Open("GET", server.Url("/"), false));
  EXPECT_FALSE(request.SetRequestHeader("X-A", "1\r\nX-Injected: 1"));
  EXPECT_NE(request.LastError(), "");
  EXPECT_FALSE(request.SetRequestHeader("X-B", "1\nX-Injected: 2"));
  EXPECT_FALSE(request.SetRequestHeader("X-Injected\r\nX-C", "3"));
  EXPECT_FALSE(request.SetRequestHeader("X-Injected: 4\r\nX-D", "4"));
  EXPECT_FALSE(request.SetRequestHeader("", "5"));
  EXPECT_FALSE(request.SetOption(kOptionUserAgentString, std::string("ua\r\nX-Injected: 6")));
  EXPECT_TRUE(request.SetRequestHeader("X-Fine", "ok"));
  EXPECT_EQ(request.LastError(), "");
  ASSERT_TRUE(request.Send());
  auto sent = server.Requests().at(0);
  EXPECT_EQ(sent.Names().size(), 3u) << "Host, Accept and X-Fine only";
  EXPECT_FALSE(sent.Has("X-Injected"));
  EXPECT_EQ(sent.Value("X-Fine"), "ok");
}

TEST(WebRequest, TextGoesOutAsUtf8AndComesBackAsCodePage936) {
  TestServer server([](const http_test::RecordedRequest& r) {
    const char* charset = r.Target() == "/gbk" ? "text/plain; charset=GBK" : "text/plain; charset=utf-8";
    std::string body = r.Target() == "/gbk" ? "\xD6\xD0" : "\xEF\xBB\xBF\xE4\xB8\xAD";
    return Reply{Response(201, "Created \xE5\xA5\xBD", {{"Content-Type", charset}, {"X-Name", " \xE4\xB8\xAD "}}, body)};
  });
  WebRequest request;
  ASSERT_TRUE(request.Open("POST", server.Url("/utf8?q=\xD6\xD0"), false));
  ASSERT_TRUE(request.SetRequestHeader("X-Value", "\xD6\xD0"));
  ASSERT_TRUE(request.SendText("\xD6\xD0\xCE\xC4"));  // 中文
  auto sent = server.Requests().at(0);
  EXPECT_EQ(sent.request_line, "POST /utf8?q=%E4%B8%AD HTTP/1.1");
  EXPECT_EQ(sent.body, "\xE4\xB8\xAD\xE6\x96\x87");
  EXPECT_EQ(sent.Value("Content-Length"), "6");
  EXPECT_EQ(sent.Value("X-Value"), "\xE4\xB8\xAD");
  EXPECT_FALSE(sent.Has("Content-Type")) << "no type the caller did not give";

  EXPECT_EQ(request.Status(), 201);
  EXPECT_EQ(request.StatusText(), "Created \xBA\xC3");
  EXPECT_EQ(request.ResponseHeader("x-name"), "\xD6\xD0");
  EXPECT_EQ(request.ResponseHeader("Missing"), "");
  EXPECT_NE(request.LastError(), "");
  EXPECT_EQ(request.ResponseText(), "\xD6\xD0");
  std::string all = request.AllResponseHeaders();
  EXPECT_NE(all.find("X-Name:  \xD6\xD0 \r\n"), std::string::npos) << all;
  EXPECT_TRUE(all.ends_with("\r\n\r\n")) << all;
  EXPECT_EQ(all.find("HTTP/1.1"), std::string::npos);

  ASSERT_TRUE(request.Open("GET", server.Url("/gbk"), false));
  ASSERT_TRUE(request.Send());
  EXPECT_EQ(request.ResponseText(), "\xD6\xD0");
}

TEST(WebRequest, BytesBodyGoesOutUnchanged) {
  TestServer server(Ok);
  WebRequest request;
  ASSERT_TRUE(request.Open("PUT", server.Url("/b"), false));
  const std::vector<std::uint8_t> body = {0, 0xFF, 'x', 0, 0xD6};
  ASSERT_TRUE(request.SendBytes(body));
  auto sent = server.Requests().at(0);
  EXPECT_EQ(sent.Method(), "PUT");
  EXPECT_EQ(sent.body, std::string("\0\xFFx\0\xD6", 5));
}

struct FailureCase {
  const char* what;
  std::string raw;  // the server's whole answer
  int delay_ms;
};

TEST(WebRequest, AFailedExchangeLeavesStatusZeroAndNoBody) {
  const FailureCase cases[] = {
      {"dropped without an answer", "", 0},
      {"closed mid-body", "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nonly ten b", 0},
      {"closed mid-headers", "HTTP/1.1 200 OK\r\nX-Half: ", 0},
      {"too slow for the receive timeout", Response(200, "OK", {}, "late"), 3000},
  };
  for (const FailureCase& c : cases) {
    TestServer server([&c](const http_test::RecordedRequest&) { return Reply{c.raw, c.delay_ms}; });
    WebRequest request;
    request.SetTimeouts(0, 5000, 5000, 300);
    ASSERT_TRUE(request.Open("GET", server.Url("/"), false));
    EXPECT_FALSE(request.Send()) << c.what;
    EXPECT_NE(request.LastError(), "") << c.what;
    EXPECT_EQ(request.Status(), 0) << c.what;
    EXPECT_TRUE(request.ResponseBody().empty()) << c.what;
    EXPECT_EQ(request.AllResponseHeaders(), "") << c.what;
  }
}

TEST(WebRequest, RefusedConnectionAndBadUrlsFail) {
  WebRequest request;
  ASSERT_TRUE(request.Open("GET", "http://127.0.0.1:" + std::to_string(http_test::UnusedPort()) + "/", false));
  EXPECT_FALSE(request.Send());
  EXPECT_NE(request.LastError(), "");
  EXPECT_EQ(request.Status(), 0);
  EXPECT_TRUE(request.ResponseBody().empty());

  for (const char* url : {"http://127.0.0.1:abc/", "ftp://127.0.0.1/", "file:///etc/passwd", "http://"}) {
    EXPECT_FALSE(request.Open("GET", url, false)) << url;
    EXPECT_NE(request.LastError(), "") << url;
    EXPECT_FALSE(request.Send()) << url;
    EXPECT_EQ(request.Status(), 0) << url;
  }
}

TEST(WebRequest, AsyncSendRunsOnItsOwnThread) {
  TestServer server([](const http_test::RecordedRequest& r) {
    return Reply{Response(200, "OK", {}, "done"), r.Target() == "/slow" ? 5000 : 100};
  });
  WebRequest request;
  ASSERT_TRUE(request.Open("GET", server.Url("/quick"), true));
  ASSERT_TRUE(request.Send());
  EXPECT_TRUE(request.WaitForResponse(kWaitForever)) << request.LastError();
  EXPECT_EQ(request.Status(), 200);
  EXPECT_EQ(BodyText(request), "done");

  ASSERT_TRUE(request.Open("GET", server.Url("/slow"), true));
  ASSERT_TRUE(request.Send());
  EXPECT_EQ(request.Status(), 0) << "not there yet";
  EXPECT_NE(request.LastError(), "");
  EXPECT_FALSE(request.WaitForResponse(0));
  request.Abort();
  EXPECT_EQ(request.Status(), 0);
  EXPECT_TRUE(request.ResponseBody().empty());
}

TEST(WebRequest, CertificatesAreCheckedUnlessOptionFourSaysOtherwise) {
  TestServer server(Ok, http_test::Transport::kTls);
  WebRequest request;
  ASSERT_TRUE(request.Open("GET", server.Url("/secure"), false));
  EXPECT_FALSE(request.Send());
  EXPECT_EQ(request.Status(), 0);

  ASSERT_TRUE(request.SetOption(kOptionSslErrorIgnoreFlags, kIgnoreAllCertificateErrors));
  ASSERT_TRUE(request.Open("GET", server.Url("/secure"), false));
  ASSERT_TRUE(request.Send()) << request.LastError();
  EXPECT_EQ(request.Status(), 200);
  EXPECT_EQ(BodyText(request), "ok");
}

TEST(WebRequest, PresentsTheClientCertificateGiven) {
  TestServer server(Ok, http_test::Transport::kTlsWithClientCertificate);
  const std::string pem = testing::TempDir() + "qxtxt-client-" + std::to_string(getpid()) + ".pem";
  http_test::WriteClientCertificate(pem, "qxtxt client");
  WebRequest request;
  ASSERT_TRUE(request.SetOption(kOptionSslErrorIgnoreFlags, kIgnoreAllCertificateErrors));
  ASSERT_TRUE(request.Open("GET", server.Url("/who"), false));
  EXPECT_FALSE(request.Send()) << "the server insists on a certificate";
  ASSERT_TRUE(request.SetClientCertificate(pem));
  ASSERT_TRUE(request.Open("GET", server.Url("/who"), false));
  EXPECT_TRUE(request.Send()) << request.LastError();
  EXPECT_EQ(request.Status(), 200);
  std::remove(pem.c_str());
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].client_certificate_name, "qxtxt client");
}

TEST(WebRequest, OptionsReadBack) {
  WebRequest request;
  EXPECT_EQ(request.Option(kOptionEnableRedirects), WebOptionValue(1));
  EXPECT_EQ(request.Option(kOptionSslErrorIgnoreFlags), WebOptionValue(0));
  EXPECT_TRUE(request.SetOption(kOptionSslErrorIgnoreFlags, std::string("0x3300")));
  EXPECT_EQ(request.Option(kOptionSslErrorIgnoreFlags), WebOptionValue(0x3300));
  EXPECT_TRUE(request.SetOption(kOptionMaxAutomaticRedirects, 3));
  EXPECT_EQ(request.Option(kOptionMaxAutomaticRedirects), WebOptionValue(3));
  EXPECT_TRUE(request.Open("", "http://127.0.0.1/u", false));
  EXPECT_EQ(request.Option(kOptionUrl), WebOptionValue(std::string("http://127.0.0.1/u")));
  EXPECT_FALSE(request.SetOption(kOptionUrl, std::string("x")));
  EXPECT_FALSE(request.SetOption(99, 1));
  EXPECT_TRUE(std::holds_alternative<std::monostate>(request.Option(99)));
  EXPECT_NE(request.LastError(), "");
}

TEST(WebRequest, FollowsRedirectsUpToTheLimit) {
  TestServer server([](const http_test::RecordedRequest& r) {
    if (r.Target() == "/loop") return Reply{Response(302, "Found", {{"Location", "/loop"}})};
    if (r.Target() == "/start") return Reply{Response(302, "Found", {{"Location", "/end"}})};
    return Reply{Response(200, "OK", {{"X-Final", "1"}}, "end")};
  });
  WebRequest request;
  ASSERT_TRUE(request.Open("POST", server.Url("/start"), false));
  ASSERT_TRUE(request.SendText("form=1"));
  EXPECT_EQ(request.Status(), 200);
  EXPECT_EQ(request.ResponseHeader("X-Final"), "1");
  EXPECT_EQ(request.AllResponseHeaders().find("Location"), std::string::npos) << "the last response's only";
  EXPECT_EQ(server.Requests().at(1).request_line, "GET /end HTTP/1.1");

  ASSERT_TRUE(request.SetOption(kOptionEnableRedirects, 0));
  ASSERT_TRUE(request.Open("GET", server.Url("/start"), false));
  ASSERT_TRUE(request.Send());
  EXPECT_EQ(request.Status(), 302);
  EXPECT_EQ(request.ResponseHeader("Location"), "/end");

  ASSERT_TRUE(request.SetOption(kOptionEnableRedirects, 1));
  ASSERT_TRUE(request.SetOption(kOptionMaxAutomaticRedirects, 3));
  ASSERT_TRUE(request.Open("GET", server.Url("/loop"), false));
  EXPECT_FALSE(request.Send());
  EXPECT_EQ(request.Status(), 0);
  EXPECT_EQ(server.Requests().size(), 3u + 4u);
}

TEST(WebRequest, ProxyAndCredentials) {
  TestServer proxy(Ok);
  WebRequest request;
  ASSERT_TRUE(request.SetProxy(kProxyNamed, "127.0.0.1:" + std::to_string(proxy.Port()), ""));
  ASSERT_TRUE(request.SetCredentials("pu", "pp", kCredentialsForProxy));
  ASSERT_TRUE(request.SetCredentials("su", "sp", kCredentialsForServer));
  EXPECT_FALSE(request.SetCredentials("x", "y", 7));
  EXPECT_FALSE(request.SetProxy(kProxyNamed, "", ""));
  EXPECT_FALSE(request.SetAutoLogonPolicy(3));
  EXPECT_TRUE(request.SetAutoLogonPolicy(2));
  ASSERT_TRUE(request.Open("GET", "http://service.invalid/path", false));
  ASSERT_TRUE(request.Send()) << request.LastError();
  auto sent = proxy.Requests().at(0);
  EXPECT_EQ(sent.request_line, "GET http://service.invalid/path HTTP/1.1");
  EXPECT_EQ(sent.Value("Proxy-Authorization"), "Basic cHU6cHA=");
  EXPECT_EQ(sent.Value("Authorization"), "Basic c3U6c3A=");

  ASSERT_TRUE(request.SetProxy(kProxyDirect, "", ""));
  TestServer direct(Ok);
  ASSERT_TRUE(request.Open("GET", direct.Url("/d"), false));
  ASSERT_TRUE(request.Send());
  EXPECT_EQ(direct.Requests().at(0).request_line, "GET /d HTTP/1.1");
  EXPECT_EQ(proxy.Requests().size(), 1u);
}

}  // namespace
}  // namespace platform
