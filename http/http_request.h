// The tool's HTTP client: one request object over the platform's request
// object (platform/web_request.h), adding
//  - default headers: a browser-like User-Agent on every send and a form
//    Content-Type on a POST or a request with a body, unless the caller set
//    them since the last Open (autoHeaders);
//  - a Referer held back until the next send;
//  - proxy settings whose credentials survive a re-created request object;
//  - three cookie modes: 0 cookies are plain headers, 1 a private jar kept
//    by the object, 2 the process-wide store of http/system_cookie_store.h;
//  - in modes 1 and 2, redirects followed by the object itself (at most 20
//    hops, each a GET), taking in the cookies of every hop;
//  - convenience requests with retries.
//
// The cloud client's path: construct → SetAutoHeaders() → Open(method, url,
// 0) → SetRequestHeader per header → SendText(body) or SendBytes(body) →
// ResponseBody() → Status() → destroy.
//
// Contract:
//  - Texts are code page 936. Nothing throws and nothing is shown: failures
//    come back as 0, "" or empty bytes, and LastError describes the last
//    failed call on the platform object ("" after a successful one). A
//    request that got no response leaves Status 0 and an empty body.
//  - A header name or value holding CR or LF never reaches the wire; the
//    call fails with LastError set.
//  - Certificate errors are ignored by default (SetIgnoreCertificateErrors
//    turns checking on).
//  - Flags are ints holding 0 or 1, as the tool's callers pass them.
//  - An object belongs to the thread that made it; no locks. A copy holds
//    every field and shares the platform object with the original.
//  - The names ComObject and ReleaseComObject stand for the platform
//    request object the HttpRequest holds.
#pragma once

#include <cstdint>
#include <istream>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

#include "app/text/text.h"
#include "http/private_cookie_jar.h"
#include "platform/web_request.h"

namespace http {

inline constexpr std::string_view kDefaultUserAgent = "Mozilla/5.0 (compatible; MSIE 10.0; Windows NT 6.2)";
inline constexpr std::string_view kFormContentType = "application/x-www-form-urlencoded";
inline constexpr int kMaxRedirectHops = 20;

enum CookieMode : int { kCookiesPassThrough = 0, kCookiesPrivateJar = 1, kCookiesSystemStore = 2 };

using Bytes = std::span<const std::uint8_t>;

class HttpRequest {
 public:
  HttpRequest();
  ~HttpRequest();
  HttpRequest(const HttpRequest&);
  HttpRequest& operator=(const HttpRequest&);

  // A fresh platform object into ComObject.
  void Initialize();
  void ReleaseComObject();
  // Option 4 = ignore every certificate error; autoHeaders 1, cookie mode 0,
  // redirects followed, certificate errors ignored, no proxy, empty jar.
  void ResetDefaults();
  void MergeSetCookiesIntoJar(int keepOnDelete);
  void StoreSetCookiesInSystem(int keepOnDelete);
  void StoreCookiePairsInSystem(std::string_view pairs);
  void ApplyJarCookieHeader();
  void ApplySystemCookieHeader();
  void ApplyDefaultHeaders(int hasBody);
  void BeforeSend();
  void AfterSend(int keepOnDelete);
  void FollowRedirect(int keepOnDelete);

  // The platform object (shared with the caller); a replacement takes its
  // place first.
  std::shared_ptr<platform::WebRequest> ComObject(std::shared_ptr<platform::WebRequest> replacement = nullptr);
  text::Text LastError() const;
  void SetAutoHeaders(int flag = 1);
  void SetCookieMode(int mode = 1);
  void Recreate();

  // An empty method is "GET". A url not starting with "http://" or
  // "https://" gets "http://" in front.
  void Open(std::string_view method, std::string_view url, int async = 0);
  // No argument sends no body; a body given, even an empty one, counts as a
  // body for the default Content-Type. The result is 1.
  int SendBytes(std::optional<Bytes> body = std::nullopt, int keepOnDelete = 1);
  int SendText(std::optional<std::string_view> body = std::nullopt, int keepOnDelete = 1);
  // Seconds; -1 waits without limit. 1 when a response has arrived.
  int WaitForResponse(int timeout);
  void Abort();

  text::ByteArray ResponseBody();
  // The body up to its first zero byte.
  text::Text ResponseBodyText();
  // The body decoded by the charset of its Content-Type.
  text::Text ResponseText();
  // The body decoded as UTF-8; "" for an empty body.
  text::Text ResponseTextFromUtf8();
  // A stream over a copy of the body, owned by the caller.
  std::unique_ptr<std::istream> ResponseStream();
  int Status();
  text::Text StatusText();
  text::Text AllResponseHeaders();
  text::Text ResponseHeader(std::string_view name);
  // The cookie pairs of the response, deletion markers left out, joined by
  // "; ".
  text::Text ResponseCookies();
  text::Text ResponseCookie(std::string_view name);
  // The Location of the response; with resolve 1 made absolute against the
  // URL of the last Open.
  text::Text RedirectLocation(int resolve);

  // Milliseconds.
  void SetTimeouts(int resolve = 10000, int connect = 15000, int send = 120000, int receive = 300000);
  // A non-empty server ("host:port") is the proxy from now on; an empty one
  // means a direct connection. A user or password given is handed over with
  // the next send.
  void SetProxy(std::string_view server, std::string_view user, std::string_view password);
  // flags: 0 the server, 1 the proxy.
  void SetCredentials(std::string_view user, std::string_view password, int flags);
  void SetClientCertificate(std::string_view certificate);
  void SetAutoLogonPolicy(int policy);
  // Writes option `index` when a value is given, then reads it back. Reading
  // option 6 also sets whether redirects are followed.
  platform::WebOptionValue Option(int index, platform::WebOptionValue value = {});
  void SetFollowRedirects(int flag = 1);
  void SetIgnoreCertificateErrors(int flag = 1);
  // An empty name does nothing. A Cookie header goes to the jar or the store
  // in modes 1 and 2; with autoHeaders 1, User-Agent and Content-Type count
  // as given and a Referer is held back for the next send.
  void SetRequestHeader(std::string_view name, std::string_view value);
  void SetRequestHeaders(std::string_view block);
  // Sends the header as "-" so that nothing else fills it in.
  void MaskRequestHeader(std::string_view name);
  void SetCookies(std::string_view cookies);
  void SetUserAgent(std::string_view value = kDefaultUserAgent);
  // Without a value, the URL of the last Open.
  void SetReferer(std::optional<std::string_view> value = std::nullopt);
  void SetOrigin(std::optional<std::string_view> value = std::nullopt);
  void SetAccept(std::string_view value = "*/*");
  void SetAcceptLanguage(std::string_view value = "zh-cn");
  void SetContentType(std::string_view value = kFormContentType);
  void MarkAjax();
  void SetForwardedAddress(std::string_view address);
  // Mode 1 only ("" or 0 otherwise).
  text::Text CookieJar(std::optional<std::string_view> replacement = std::nullopt);
  text::Text JarCookie(std::string_view name, int withName = 0);
  int MergeCookiePairsIntoJar(std::string_view pairs);
  int RemoveJarCookies(std::string_view names);

  // Up to `attempts` tries, repeated only while the status is below 1, 504
  // or 407. 1 when the last status is 200, 301 or 302. Empty cookies,
  // headers or proxy mean none given.
  int GetWithRetries(std::string_view url, std::string_view cookies = {}, std::string_view headers = {},
                     std::string_view proxy = {}, int attempts = 5);
  int PostTextWithRetries(std::string_view url, std::string_view body, std::string_view cookies = {},
                          std::string_view headers = {}, std::string_view proxy = {}, int attempts = 5);
  int PostBytesWithRetries(std::string_view url, Bytes body, std::string_view cookies = {},
                           std::string_view headers = {}, std::string_view proxy = {}, int attempts = 5);

  // Fields a caller may want to look at.
  const text::Text& Url() const { return url_; }
  int CookieModeValue() const { return cookieMode_; }
  int RedirectCount() const { return redirectCount_; }
  int CookiesChanged() const { return cookiesChanged_; }
  int CookieJarLength() const { return cookieJar_.Length(); }

 private:
  template <typename Transmit>
  int Send(bool hasBody, int keepOnDelete, Transmit transmit);
  template <typename SendOnce>
  int WithRetries(std::string_view method, std::string_view url, std::string_view cookies,
                  std::string_view headers, std::string_view proxy, int attempts, SendOnce send_once);
  // The platform object, or a placeholder that fails every call once the
  // object has been released.
  platform::WebRequest& Com() const;

  std::shared_ptr<platform::WebRequest> comObject_;
  text::Text url_;
  int isPost_ = 0;
  int async_ = 0;
  int autoHeaders_ = 0;
  int userAgentGiven_ = 0;
  int contentTypeGiven_ = 0;
  text::Text pendingReferer_;
  int cookieMode_ = 0;
  PrivateCookieJar cookieJar_;
  int cookiesChanged_ = 0;
  int proxyCredentialsPending_ = 0;
  text::Text proxyUser_;
  text::Text proxyPassword_;
  text::Text proxyServer_;
  int ignoreCertificateErrors_ = 0;
  int followRedirects_ = 0;
  int redirectCount_ = 0;
  int enableRedirectsOption_ = 0;
};

}  // namespace http
