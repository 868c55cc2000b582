#include "http/http_request.h"

#include <sstream>

#include "http/header_block.h"
#include "http/response_headers.h"
#include "http/system_cookie_store.h"
#include "http/url.h"
#include "platform/code_page.h"

namespace http {
namespace {

using text::Text;

// Comparisons of header names and methods look at ASCII letters only.
bool NameIs(std::string_view name, std::string_view lower) { return text::LowerCase(name) == lower; }

// "name=value" items of a ";"-separated text, leading spaces dropped, items
// without "=" skipped; `take` gets the name and the value of each.
template <typename Take>
void ForEachPair(std::string_view pairs, Take take) {
  for (std::string_view piece : text::Split(pairs, ";")) {
    Text item = text::TrimStart(piece);
    size_t equals = item.find('=');
    if (equals != Text::npos) take(std::string_view(item).substr(0, equals), std::string_view(item).substr(equals + 1));
  }
}

}  // namespace

HttpRequest::HttpRequest() {
  Initialize();
  ResetDefaults();
}

HttpRequest::~HttpRequest() { ReleaseComObject(); }

HttpRequest::HttpRequest(const HttpRequest&) = default;
HttpRequest& HttpRequest::operator=(const HttpRequest&) = default;

platform::WebRequest& HttpRequest::Com() const {
  // A released object's calls go to a stand-in that was never opened, so
  // they fail as calls on a missing object would.
  thread_local platform::WebRequest stand_in;
  return comObject_ ? *comObject_ : stand_in;
}

void HttpRequest::Initialize() { comObject_ = std::make_shared<platform::WebRequest>(); }

void HttpRequest::ReleaseComObject() { comObject_.reset(); }

void HttpRequest::ResetDefaults() {
  Com().SetOption(platform::kOptionSslErrorIgnoreFlags, platform::kIgnoreAllCertificateErrors);
  autoHeaders_ = 1;
  cookieMode_ = kCookiesPassThrough;
  followRedirects_ = 1;
  enableRedirectsOption_ = 1;
  ignoreCertificateErrors_ = 1;
  proxyServer_.clear();
  proxyUser_.clear();
  proxyPassword_.clear();
  proxyCredentialsPending_ = 0;
  cookieJar_.Clear();
}

void HttpRequest::MergeSetCookiesIntoJar(int keepOnDelete) {
  bool changed = false;
  for (const Text& pair : SetCookiePairs(AllResponseHeaders())) {
    changed = cookieJar_.TakeResponsePair(pair, keepOnDelete == 1) || changed;
  }
  if (changed) cookiesChanged_ = 1;
}

void HttpRequest::StoreSetCookiesInSystem(int keepOnDelete) {
  for (const Text& pair : SetCookiePairs(AllResponseHeaders())) {
    size_t equals = pair.find('=');
    if (equals == Text::npos) continue;
    Text data;
    if (IsDeletionMarker(pair)) {
      if (keepOnDelete == 1) continue;
    } else {
      data = pair.substr(equals + 1);
      if (keepOnDelete == 1 && text::TrimBoth(data).empty()) continue;
    }
    SetSystemCookie(url_, std::string_view(pair).substr(0, equals), data);
    cookiesChanged_ = 1;
  }
}

void HttpRequest::StoreCookiePairsInSystem(std::string_view pairs) {
  ForEachPair(pairs, [this](std::string_view name, std::string_view value) { SetSystemCookie(url_, name, value); });
}

void HttpRequest::ApplyJarCookieHeader() { Com().SetRequestHeader("Cookie", cookieJar_.Entries()); }

void HttpRequest::ApplySystemCookieHeader() {
  Text cookies = SystemCookieHeader(url_);
  if (!cookies.empty()) Com().SetRequestHeader("Cookie", cookies);
}

void HttpRequest::ApplyDefaultHeaders(int hasBody) {
  if (userAgentGiven_ == 0) Com().SetRequestHeader("User-Agent", kDefaultUserAgent);
  if (contentTypeGiven_ == 0 && (isPost_ == 1 || hasBody == 1)) Com().SetRequestHeader("Content-Type", kFormContentType);
}

void HttpRequest::BeforeSend() {
  if (proxyCredentialsPending_ == 1) {
    Com().SetCredentials(proxyUser_, proxyPassword_, platform::kCredentialsForProxy);
    proxyCredentialsPending_ = 0;
  }
  if (cookieMode_ == kCookiesPrivateJar) ApplyJarCookieHeader();
  if (cookieMode_ == kCookiesSystemStore) ApplySystemCookieHeader();
  if (!pendingReferer_.empty()) {
    Com().SetRequestHeader("Referer", pendingReferer_);
    pendingReferer_.clear();
  }
}

void HttpRequest::AfterSend(int keepOnDelete) {
  if (async_ == 1 || cookieMode_ <= 0) return;
  if (cookieMode_ == kCookiesPrivateJar) MergeSetCookiesIntoJar(keepOnDelete);
  if (cookieMode_ == kCookiesSystemStore) StoreSetCookiesInSystem(keepOnDelete);
  if (followRedirects_ == 1) FollowRedirect(0);
}

// Each hop is a GET without a body; its AfterSend takes in the hop's cookies
// and calls here again, so the chain ends at a response without a Location
// or after kMaxRedirectHops hops, leaving the last response readable.
void HttpRequest::FollowRedirect(int keepOnDelete) {
  Text location = RedirectLocation(1);
  if (location.empty() || ++redirectCount_ > kMaxRedirectHops) {
    redirectCount_ = 0;
    return;
  }
  Open("GET", location, 0);
  SendText(std::nullopt, keepOnDelete);
}

std::shared_ptr<platform::WebRequest> HttpRequest::ComObject(std::shared_ptr<platform::WebRequest> replacement) {
  if (replacement) comObject_ = std::move(replacement);
  return comObject_;
}

Text HttpRequest::LastError() const { return comObject_ ? comObject_->LastError() : "The request object has been released"; }

void HttpRequest::SetAutoHeaders(int flag) { autoHeaders_ = flag; }

void HttpRequest::SetCookieMode(int mode) {
  if (mode < 0 || mode > 2) mode = kCookiesPassThrough;
  cookieMode_ = mode;
  if (mode == kCookiesPassThrough) {
    if (followRedirects_ != 1) return;
    enableRedirectsOption_ = 1;
  } else {
    enableRedirectsOption_ = 0;
  }
  Com().SetOption(platform::kOptionEnableRedirects, enableRedirectsOption_);
}

void HttpRequest::Recreate() {
  ReleaseComObject();
  Initialize();
  ResetDefaults();
}

void HttpRequest::Open(std::string_view method, std::string_view url, int async) {
  if (method.empty()) method = "GET";
  if (autoHeaders_ == 1) {
    isPost_ = text::UpperCase(method) == "POST" ? 1 : 0;
    userAgentGiven_ = 0;
    contentTypeGiven_ = 0;
  }
  url_ = WithSchemeDefault(url);
  async_ = async;
  // A fresh platform object forgets whatever the last one kept of the
  // exchange; the settings it must keep are handed over again.
  if (cookieMode_ > 0 && cookiesChanged_ == 1) {
    ReleaseComObject();
    Initialize();
    cookiesChanged_ = 0;
    Com().SetOption(platform::kOptionEnableRedirects, 0);
    if (ignoreCertificateErrors_ == 1) {
      Com().SetOption(platform::kOptionSslErrorIgnoreFlags, platform::kIgnoreAllCertificateErrors);
    }
    if (!proxyServer_.empty()) {
      Com().SetProxy(platform::kProxyNamed, proxyServer_, "");
      if (!proxyUser_.empty() || !proxyPassword_.empty()) proxyCredentialsPending_ = 1;
    }
  }
  Com().Open(method, url_, async_ != 0);
}

template <typename Transmit>
int HttpRequest::Send(bool hasBody, int keepOnDelete, Transmit transmit) {
  BeforeSend();
  if (autoHeaders_ == 1) ApplyDefaultHeaders(hasBody ? 1 : 0);
  transmit(Com());
  AfterSend(keepOnDelete);
  return 1;
}

int HttpRequest::SendBytes(std::optional<Bytes> body, int keepOnDelete) {
  return Send(body.has_value(), keepOnDelete, [&body](platform::WebRequest& com) {
    body ? com.SendBytes(*body) : com.Send();
  });
}

int HttpRequest::SendText(std::optional<std::string_view> body, int keepOnDelete) {
  return Send(body.has_value(), keepOnDelete, [&body](platform::WebRequest& com) {
    body ? com.SendText(*body) : com.Send();
  });
}

int HttpRequest::WaitForResponse(int timeout) { return Com().WaitForResponse(timeout) ? 1 : 0; }

void HttpRequest::Abort() { Com().Abort(); }

text::ByteArray HttpRequest::ResponseBody() { return Com().ResponseBody(); }

Text HttpRequest::ResponseBodyText() { return text::TextOfBytes(ResponseBody()); }

Text HttpRequest::ResponseText() { return Com().ResponseText(); }

Text HttpRequest::ResponseTextFromUtf8() {
  text::ByteArray body = ResponseBody();
  return platform::Utf8ToCp936(std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
}

std::unique_ptr<std::istream> HttpRequest::ResponseStream() {
  text::ByteArray body = ResponseBody();
  return std::make_unique<std::istringstream>(std::string(body.begin(), body.end()));
}

int HttpRequest::Status() { return Com().Status(); }

Text HttpRequest::StatusText() { return Com().StatusText(); }

Text HttpRequest::AllResponseHeaders() { return Com().AllResponseHeaders(); }

Text HttpRequest::ResponseHeader(std::string_view name) { return Com().ResponseHeader(name); }

Text HttpRequest::ResponseCookies() {
  Text cookies;
  for (const Text& pair : SetCookiePairs(AllResponseHeaders())) {
    if (IsDeletionMarker(pair)) continue;
    if (!cookies.empty()) cookies += "; ";
    cookies += pair;
  }
  return cookies;
}

Text HttpRequest::ResponseCookie(std::string_view name) { return ResponseCookieValue(AllResponseHeaders(), name); }

Text HttpRequest::RedirectLocation(int resolve) {
  Text location = LocationHeader(AllResponseHeaders());
  if (location.empty() || resolve != 1) return location;
  return ResolveLocation(location, url_);
}

void HttpRequest::SetTimeouts(int resolve, int connect, int send, int receive) {
  Com().SetTimeouts(resolve, connect, send, receive);
}

void HttpRequest::SetProxy(std::string_view server, std::string_view user, std::string_view password) {
  if (server.empty()) {
    Com().SetProxy(platform::kProxyDirect, "", "");
  } else {
    Com().SetProxy(platform::kProxyNamed, server, "");
  }
  proxyServer_ = Text(server);
  if (!user.empty() || !password.empty()) {
    proxyCredentialsPending_ = 1;
    proxyUser_ = Text(user);
    proxyPassword_ = Text(password);
  }
}

void HttpRequest::SetCredentials(std::string_view user, std::string_view password, int flags) {
  Com().SetCredentials(user, password, flags);
}

void HttpRequest::SetClientCertificate(std::string_view certificate) { Com().SetClientCertificate(certificate); }

void HttpRequest::SetAutoLogonPolicy(int policy) { Com().SetAutoLogonPolicy(policy); }

platform::WebOptionValue HttpRequest::Option(int index, platform::WebOptionValue value) {
  if (!std::holds_alternative<std::monostate>(value)) Com().SetOption(index, value);
  platform::WebOptionValue read = Com().Option(index);
  if (index == platform::kOptionEnableRedirects) {
    const auto* flag = std::get_if<std::int32_t>(&read);
    followRedirects_ = flag != nullptr && *flag != 0 ? 1 : 0;
    if (followRedirects_ == 1 && cookieMode_ > 0) {
      enableRedirectsOption_ = 0;
      Com().SetOption(platform::kOptionEnableRedirects, 0);
    } else {
      enableRedirectsOption_ = followRedirects_;
    }
  }
  return read;
}

void HttpRequest::SetFollowRedirects(int flag) {
  followRedirects_ = flag;
  if (flag == 1 && cookieMode_ > 0) return;
  enableRedirectsOption_ = flag;
  Com().SetOption(platform::kOptionEnableRedirects, flag);
}

void HttpRequest::SetIgnoreCertificateErrors(int flag) {
  Com().SetOption(platform::kOptionSslErrorIgnoreFlags, flag == 1 ? platform::kIgnoreAllCertificateErrors : 0);
  ignoreCertificateErrors_ = flag;
}

void HttpRequest::SetRequestHeader(std::string_view name, std::string_view value) {
  if (name.empty()) return;
  if (cookieMode_ >= 1 && NameIs(name, "cookie")) {
    SetCookies(value);
    return;
  }
  if (autoHeaders_ == 1) {
    if (NameIs(name, "user-agent")) userAgentGiven_ = 1;
    if (NameIs(name, "content-type")) contentTypeGiven_ = 1;
    if (NameIs(name, "referer")) {
      pendingReferer_ = Text(value);
      return;
    }
  }
  Com().SetRequestHeader(name, value);
}

void HttpRequest::SetRequestHeaders(std::string_view block) {
  for (const HeaderLine& line : SplitHeaderBlock(block)) SetRequestHeader(line.name, line.value);
}

void HttpRequest::MaskRequestHeader(std::string_view name) {
  if (name.empty()) return;
  if (autoHeaders_ == 1) {
    if (NameIs(name, "user-agent")) userAgentGiven_ = 1;
    if (NameIs(name, "content-type")) contentTypeGiven_ = 1;
  }
  Com().SetRequestHeader(name, "-");
}

void HttpRequest::SetCookies(std::string_view cookies) {
  switch (cookieMode_) {
    case kCookiesPrivateJar:
      MergeCookiePairsIntoJar(cookies);
      break;
    case kCookiesSystemStore:
      StoreCookiePairsInSystem(cookies);
      break;
    default:
      Com().SetRequestHeader("Cookie", cookies);
  }
}

void HttpRequest::SetUserAgent(std::string_view value) {
  if (autoHeaders_ == 1) userAgentGiven_ = 1;
  Com().SetRequestHeader("User-Agent", value);
}

void HttpRequest::SetReferer(std::optional<std::string_view> value) { pendingReferer_ = Text(value.value_or(url_)); }

void HttpRequest::SetOrigin(std::optional<std::string_view> value) {
  Com().SetRequestHeader("Origin", value.value_or(url_));
}

void HttpRequest::SetAccept(std::string_view value) { Com().SetRequestHeader("Accept", value); }

void HttpRequest::SetAcceptLanguage(std::string_view value) { Com().SetRequestHeader("Accept-Language", value); }

void HttpRequest::SetContentType(std::string_view value) {
  if (autoHeaders_ == 1) contentTypeGiven_ = 1;
  Com().SetRequestHeader("Content-Type", value);
}

void HttpRequest::MarkAjax() { Com().SetRequestHeader("x-requested-with", "XMLHttpRequest"); }

void HttpRequest::SetForwardedAddress(std::string_view address) {
  for (std::string_view name : {"X-Forwarded-For", "CLIENT_IP", "VIA", "REMOTE_ADDR"}) {
    Com().SetRequestHeader(name, address);
  }
}

Text HttpRequest::CookieJar(std::optional<std::string_view> replacement) {
  if (cookieMode_ != kCookiesPrivateJar) return {};
  if (!replacement) return cookieJar_.Entries();
  cookieJar_.Replace(*replacement);
  return Text(*replacement);
}

Text HttpRequest::JarCookie(std::string_view name, int withName) {
  if (cookieMode_ != kCookiesPrivateJar) return {};
  return cookieJar_.Value(name, withName == 1);
}

int HttpRequest::MergeCookiePairsIntoJar(std::string_view pairs) {
  if (cookieMode_ != kCookiesPrivateJar || pairs.empty()) return 0;
  return cookieJar_.TakePairs(pairs) ? 1 : 0;
}

int HttpRequest::RemoveJarCookies(std::string_view names) {
  if (cookieMode_ != kCookiesPrivateJar || names.empty()) return 0;
  return cookieJar_.Remove(names) ? 1 : 0;
}

template <typename SendOnce>
int HttpRequest::WithRetries(std::string_view method, std::string_view url, std::string_view cookies,
                             std::string_view headers, std::string_view proxy, int attempts, SendOnce send_once) {
  int status = 0;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    if (!proxy.empty()) SetProxy(proxy, "", "");
    Open(method, url, 0);
    if (!headers.empty()) SetRequestHeaders(headers);
    if (!cookies.empty()) SetCookies(cookies);
    send_once();
    status = Status();
    if (status >= 1 && status != 504 && status != 407) break;
  }
  return (status == 200 || status == 301 || status == 302) ? 1 : 0;
}

int HttpRequest::GetWithRetries(std::string_view url, std::string_view cookies, std::string_view headers,
                                std::string_view proxy, int attempts) {
  return WithRetries("GET", url, cookies, headers, proxy, attempts, [this] { SendText(); });
}

int HttpRequest::PostTextWithRetries(std::string_view url, std::string_view body, std::string_view cookies,
                                     std::string_view headers, std::string_view proxy, int attempts) {
  return WithRetries("POST", url, cookies, headers, proxy, attempts, [this, body] { SendText(body); });
}

int HttpRequest::PostBytesWithRetries(std::string_view url, Bytes body, std::string_view cookies,
                                      std::string_view headers, std::string_view proxy, int attempts) {
  return WithRetries("POST", url, cookies, headers, proxy, attempts, [this, body] { SendBytes(body); });
}

}  // namespace http
