#include "platform/web_request.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <new>
#include <thread>
#include <utility>

#include "platform/code_page.h"

namespace platform {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr char kNotOpen[] = "The request is not open: call Open first";
constexpr char kNotSent[] = "No response: the request has not been sent";
constexpr char kNotReady[] = "The response is not available yet";
constexpr char kBusy[] = "A request is already in progress";

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

bool HasLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

std::string_view TrimSpaces(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r' || s.back() == '\n')) {
    s.remove_suffix(1);
  }
  return s;
}

// The URL as it goes on the wire: UTF-8, with bytes that may not stand in a
// URL percent-encoded.
std::string WireUrl(std::string_view url) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : Cp936ToUtf8(url)) {
    if (c > 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

// Only the charsets of the GBK family are read as they are; everything else
// is taken to be UTF-8.
bool NamesGbkCharset(std::string_view content_type) {
  std::string lower;
  for (char c : content_type) lower += AsciiLower(c);
  size_t at = lower.find("charset=");
  if (at == std::string::npos) return false;
  std::string_view charset = std::string_view(lower).substr(at + 8);
  charset = charset.substr(0, charset.find_first_of("; "));
  if (!charset.empty() && charset.front() == '"') charset.remove_prefix(1);
  if (!charset.empty() && charset.back() == '"') charset.remove_suffix(1);
  for (std::string_view gbk : {"gbk", "gb2312", "gb18030", "cp936", "x-gbk", "windows-936"}) {
    if (charset == gbk) return true;
  }
  return false;
}

void InitializeCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

struct WebRequest::Impl {
  // Object-wide settings.
  std::string user_agent;
  std::int32_t ssl_ignore_flags = 0;
  bool follow_redirects = true;
  std::int32_t max_redirects = 10;
  int resolve_ms = 0, connect_ms = 60000, send_ms = 30000, receive_ms = 30000;
  int proxy_setting = kProxyDefault;
  std::string proxy_server, proxy_bypass;
  std::string server_user, server_password, proxy_user, proxy_password;
  bool server_credentials = false, proxy_credentials = false;
  std::string client_certificate;
  int logon_policy = 1;

  // The current request.
  bool opened = false;
  bool sent = false;
  bool async = false;
  std::string method, url, wire_url;
  std::vector<std::pair<std::string, std::string>> headers;  // value in UTF-8
  Bytes body;
  bool has_body = false;

  // The response, written by whichever thread runs the exchange.
  int status = 0;
  std::string status_text;   // UTF-8
  std::string header_lines;  // UTF-8, CR LF ended
  Bytes response_body;
  std::string transfer_error;
  bool headers_ended = false;
  bool out_of_memory = false;

  // The exchange's thread, for async requests.
  std::thread worker;
  std::atomic<bool> finished{true};
  std::atomic<bool> cancel{false};
  std::mutex mutex;
  std::condition_variable finished_changed;

  CURL* curl = nullptr;
  char curl_error[CURL_ERROR_SIZE] = {};
  std::string last_error;

  bool Fail(std::string message) {
    last_error = std::move(message);
    return false;
  }
  bool Succeed() {
    last_error.clear();
    return true;
  }

  // Waits for a finished worker; false while the exchange still runs.
  bool Settle() {
    if (!finished.load(std::memory_order_acquire)) return false;
    if (worker.joinable()) worker.join();
    return true;
  }

  void Cancel() {
    if (!worker.joinable()) return;
    cancel = true;
    worker.join();
  }

  void ClearResponse() {
    status = 0;
    status_text.clear();
    header_lines.clear();
    response_body.clear();
    transfer_error.clear();
    headers_ended = false;
    out_of_memory = false;
  }

  // True when a finished exchange's response may be read; sets LastError.
  bool ResponseReadable() {
    if (!sent) return Fail(kNotSent);
    if (!Settle()) return Fail(kNotReady);
    if (!transfer_error.empty()) return Fail(transfer_error);
    return Succeed();
  }

  bool StartSend(const std::uint8_t* data, size_t size, bool with_body) {
    if (!opened) return Fail(kNotOpen);
    if (!Settle()) return Fail(kBusy);
    body.assign(data, data + size);
    has_body = with_body;
    ClearResponse();
    sent = true;
    cancel = false;
    finished = false;
    if (async) {
      worker = std::thread([this] { Perform(); });
      return Succeed();
    }
    Perform();
    return transfer_error.empty() ? Succeed() : Fail(transfer_error);
  }

  void Perform() {
    curl_slist* header_list = Configure();
    CURLcode rc = curl_easy_perform(curl);
    curl_slist_free_all(header_list);
    if (rc == CURLE_OK && !headers_ended) {
      ClearResponse();
      transfer_error = "The connection closed before the response headers ended";
    } else if (rc == CURLE_OK) {
      long code = 0;
      curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &code);
      status = static_cast<int>(code);
    } else {
      std::string why = DescribeFailure(rc);
      ClearResponse();
      transfer_error = std::move(why);
    }
    {
      std::lock_guard<std::mutex> lock(mutex);
      finished.store(true, std::memory_order_release);
    }
    finished_changed.notify_all();
  }

  std::string DescribeFailure(CURLcode rc) const {
    if (out_of_memory) return "The response is too large for the memory available";
    if (cancel) return "The operation was canceled";
    return curl_error[0] ? std::string(curl_error) : std::string(curl_easy_strerror(rc));
  }

  bool HasHeader(std::string_view name) const {
    for (const auto& [n, v] : headers) {
      if (EqualsIgnoringCase(n, name)) return true;
    }
    return false;
  }

  curl_slist* Configure() {
    curl_easy_reset(curl);
    curl_error[0] = 0;
    curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, curl_error);
    curl_easy_setopt(curl, CURLOPT_URL, wire_url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    ConfigureMethodAndBody();
    ConfigureTransfer();
    ConfigureConnection();
    return HeaderList();
  }

  // GET, POST and HEAD in upper case use libcurl's own methods, so that a
  // redirected POST becomes a GET as browsers do; any other method goes out
  // as the caller wrote it.
  void ConfigureMethodAndBody() {
    static const char kNoData[] = "";
    const char* data = body.empty() ? kNoData : reinterpret_cast<const char*>(body.data());
    auto post_body = [&] {
      curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
      curl_easy_setopt(curl, CURLOPT_POSTFIELDS, data);
    };
    if (method == "POST") {
      post_body();
      return;
    }
    if (method == "HEAD" && !has_body) {
      curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
      return;
    }
    if (has_body) post_body();
    if (method != "GET" || has_body) curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, method.c_str());
  }

  void ConfigureTransfer() {
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Impl::OnBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, &Impl::OnHeader);
    curl_easy_setopt(curl, CURLOPT_HEADERDATA, this);
    if (async) {  // only another thread can cancel
      curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
      curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Impl::OnProgress);
      curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    }
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, follow_redirects ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, static_cast<long>(max_redirects));
  }

  void ConfigureConnection() {
    long connect_limit = connect_ms <= 0 ? 0L : static_cast<long>(connect_ms) + (resolve_ms > 0 ? resolve_ms : 0);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connect_limit);
    // libcurl has one limit for a transfer without progress, in seconds: the
    // longer of the timeouts that apply, none when one of them is unlimited.
    int idle_ms = receive_ms;
    if (has_body) idle_ms = (send_ms <= 0 || receive_ms <= 0) ? 0 : std::max(send_ms, receive_ms);
    if (idle_ms > 0) {
      curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
      curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>((idle_ms + 999) / 1000));
    }
    bool check_chain = (ssl_ignore_flags & (kIgnoreUnknownAuthority | kIgnoreWrongUsage | kIgnoreInvalidDate)) == 0;
    bool check_host = (ssl_ignore_flags & kIgnoreInvalidCommonName) == 0;
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, check_chain ? 1L : 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, check_host ? 2L : 0L);
    if (!client_certificate.empty()) {
      curl_easy_setopt(curl, CURLOPT_SSLCERT, client_certificate.c_str());
      curl_easy_setopt(curl, CURLOPT_SSLKEY, client_certificate.c_str());
    }
    if (proxy_setting == kProxyDirect) curl_easy_setopt(curl, CURLOPT_PROXY, "");
    if (proxy_setting == kProxyNamed) {
      curl_easy_setopt(curl, CURLOPT_PROXY, proxy_server.c_str());
      curl_easy_setopt(curl, CURLOPT_NOPROXY, proxy_bypass.c_str());
    }
    if (server_credentials) {
      curl_easy_setopt(curl, CURLOPT_HTTPAUTH, static_cast<long>(CURLAUTH_BASIC));
      curl_easy_setopt(curl, CURLOPT_USERNAME, server_user.c_str());
      curl_easy_setopt(curl, CURLOPT_PASSWORD, server_password.c_str());
    }
    if (proxy_credentials) {
      curl_easy_setopt(curl, CURLOPT_PROXYAUTH, static_cast<long>(CURLAUTH_BASIC));
      curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, proxy_user.c_str());
      curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, proxy_password.c_str());
    }
  }

  // The caller's headers in order. libcurl would add a form Content-Type to
  // every body and an Expect header to large ones; neither is the caller's,
  // so both are switched off unless the caller gave them.
  curl_slist* HeaderList() {
    curl_slist* list = nullptr;
    auto add = [&list](const std::string& line) {
      if (curl_slist* grown = curl_slist_append(list, line.c_str())) list = grown;
    };
    for (const auto& [name, value] : headers) add(value.empty() ? name + ";" : name + ": " + value);
    if (!HasHeader("Content-Type")) add("Content-Type:");
    if (!HasHeader("Expect")) add("Expect:");
    if (!user_agent.empty() && !HasHeader("User-Agent")) {
      curl_easy_setopt(curl, CURLOPT_USERAGENT, user_agent.c_str());
    }
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);
    return list;
  }

  static size_t OnBody(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<Impl*>(user);
    try {
      self->response_body.insert(self->response_body.end(), data, data + size * count);
    } catch (const std::bad_alloc&) {
      self->out_of_memory = true;
      return 0;
    }
    return size * count;
  }

  // Keeps the header lines of the last response only: a status line starts
  // a new response (an interim 100, each redirect hop).
  static size_t OnHeader(char* data, size_t size, size_t count, void* user) {
    auto* self = static_cast<Impl*>(user);
    std::string_view line(data, size * count);
    std::string_view content = line.substr(0, line.find_first_of("\r\n"));
    if (content.starts_with("HTTP/")) {
      self->header_lines.clear();
      self->headers_ended = false;
      size_t code_at = content.find(' ');
      size_t text_at = code_at == std::string_view::npos ? code_at : content.find(' ', code_at + 1);
      self->status_text = text_at == std::string_view::npos ? "" : std::string(content.substr(text_at + 1));
      return line.size();
    }
    self->header_lines.append(content);
    self->header_lines.append("\r\n");
    if (content.empty()) self->headers_ended = true;
    return line.size();
  }

  static int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Impl*>(user)->cancel ? 1 : 0;
  }
};

WebRequest::WebRequest() : impl_(std::make_unique<Impl>()) {
  InitializeCurlOnce();
  impl_->curl = curl_easy_init();
  if (impl_->curl == nullptr) impl_->Fail("libcurl could not create a request handle");
}

WebRequest::~WebRequest() {
  impl_->Cancel();
  if (impl_->curl != nullptr) curl_easy_cleanup(impl_->curl);
}

bool WebRequest::Open(std::string_view method, std::string_view url, bool async) {
  Impl& d = *impl_;
  d.Cancel();
  d.opened = false;
  d.sent = false;
  d.headers.clear();
  d.ClearResponse();
  if (d.curl == nullptr) return d.Fail("libcurl could not create a request handle");
  if (HasLineBreak(method) || method.find(' ') != std::string_view::npos) return d.Fail("The method is invalid");
  d.method = method.empty() ? "GET" : std::string(method);
  d.url = std::string(url);
  d.wire_url = WireUrl(url);
  d.async = async;
  CURLU* parsed = curl_url();
  CURLUcode rc = parsed ? curl_url_set(parsed, CURLUPART_URL, d.wire_url.c_str(), 0) : CURLUE_OUT_OF_MEMORY;
  char* scheme = nullptr;
  if (rc == CURLUE_OK) rc = curl_url_get(parsed, CURLUPART_SCHEME, &scheme, 0);
  bool web_scheme = rc == CURLUE_OK && (std::string_view(scheme) == "http" || std::string_view(scheme) == "https");
  curl_free(scheme);
  curl_url_cleanup(parsed);
  if (rc != CURLUE_OK) return d.Fail(std::string("The URL is invalid: ") + curl_url_strerror(rc));
  if (!web_scheme) return d.Fail("The URL does not use a supported scheme (http or https)");
  d.opened = true;
  return d.Succeed();
}

bool WebRequest::SetRequestHeader(std::string_view name, std::string_view value) {
  Impl& d = *impl_;
  if (!d.opened) return d.Fail(kNotOpen);
  if (name.empty() || HasLineBreak(name) || name.find(':') != std::string_view::npos ||
      name.find(' ') != std::string_view::npos) {
    return d.Fail("The header name is invalid");
  }
  if (HasLineBreak(value)) return d.Fail("The header value holds a line break");
  std::string wire_value = Cp936ToUtf8(value);
  for (auto& [held_name, held_value] : d.headers) {
    if (EqualsIgnoringCase(held_name, name)) {
      held_value = std::move(wire_value);
      return d.Succeed();
    }
  }
  d.headers.emplace_back(std::string(name), std::move(wire_value));
  return d.Succeed();
}

bool WebRequest::Send() { return impl_->StartSend(nullptr, 0, false); }

bool WebRequest::SendText(std::string_view text) {
  std::string utf8 = Cp936ToUtf8(text);
  return impl_->StartSend(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size(), true);
}

bool WebRequest::SendBytes(std::span<const std::uint8_t> body) {
  return impl_->StartSend(body.data(), body.size(), true);
}

bool WebRequest::WaitForResponse(int timeout_seconds) {
  Impl& d = *impl_;
  if (!d.sent) return d.Fail(kNotSent);
  {
    std::unique_lock<std::mutex> lock(d.mutex);
    auto done = [&d] { return d.finished.load(std::memory_order_acquire); };
    if (timeout_seconds < 0) {
      d.finished_changed.wait(lock, done);
    } else if (!d.finished_changed.wait_for(lock, std::chrono::seconds(timeout_seconds), done)) {
      return d.Fail("The response did not arrive within the time given");
    }
  }
  return d.ResponseReadable();
}

void WebRequest::Abort() {
  Impl& d = *impl_;
  d.Cancel();
  d.opened = false;
  d.sent = false;
  d.ClearResponse();
  d.Succeed();
}

int WebRequest::Status() { return impl_->ResponseReadable() ? impl_->status : 0; }

std::string WebRequest::StatusText() {
  return impl_->ResponseReadable() ? Utf8ToCp936(impl_->status_text) : std::string();
}

std::vector<std::uint8_t> WebRequest::ResponseBody() {
  return impl_->ResponseReadable() ? impl_->response_body : Bytes();
}

std::string WebRequest::ResponseText() {
  Impl& d = *impl_;
  if (!d.ResponseReadable()) return {};
  std::string_view body(reinterpret_cast<const char*>(d.response_body.data()), d.response_body.size());
  std::string content_type = ResponseHeader("Content-Type");
  d.Succeed();
  if (NamesGbkCharset(content_type)) return std::string(body);
  if (body.starts_with("\xEF\xBB\xBF")) body.remove_prefix(3);
  return Utf8ToCp936(body);
}

std::string WebRequest::AllResponseHeaders() {
  return impl_->ResponseReadable() ? Utf8ToCp936(impl_->header_lines) : std::string();
}

std::string WebRequest::ResponseHeader(std::string_view name) {
  Impl& d = *impl_;
  if (!d.ResponseReadable()) return {};
  std::string_view lines = d.header_lines;
  while (!lines.empty()) {
    size_t end = lines.find("\r\n");
    if (end == std::string_view::npos) break;
    std::string_view line = lines.substr(0, end);
    lines.remove_prefix(end + 2);
    size_t colon = line.find(':');
    if (colon != std::string_view::npos && EqualsIgnoringCase(TrimSpaces(line.substr(0, colon)), name)) {
      return Utf8ToCp936(TrimSpaces(line.substr(colon + 1)));
    }
  }
  d.Fail("The requested header was not found");
  return {};
}

bool WebRequest::SetOption(int index, const WebOptionValue& value) {
  Impl& d = *impl_;
  if (index == kOptionUrl) return d.Fail("The option is read-only");
  if (index == kOptionUserAgentString) {
    const std::string* text = std::get_if<std::string>(&value);
    if (text == nullptr) return d.Fail("The option takes a text");
    if (HasLineBreak(*text)) return d.Fail("The header value holds a line break");
    d.user_agent = Cp936ToUtf8(*text);
    return d.Succeed();
  }
  std::int32_t number = 0;
  if (const auto* n = std::get_if<std::int32_t>(&value)) {
    number = *n;
  } else if (const auto* text = std::get_if<std::string>(&value)) {
    number = static_cast<std::int32_t>(std::strtol(text->c_str(), nullptr, 0));
  } else {
    return d.Fail("The option takes a number");
  }
  switch (index) {
    case kOptionSslErrorIgnoreFlags:
      d.ssl_ignore_flags = number;
      return d.Succeed();
    case kOptionEnableRedirects:
      d.follow_redirects = number != 0;
      return d.Succeed();
    case kOptionMaxAutomaticRedirects:
      if (number < 0) return d.Fail("The option value is out of range");
      d.max_redirects = number;
      return d.Succeed();
    default:
      return d.Fail("The option is not supported");
  }
}

WebOptionValue WebRequest::Option(int index) {
  Impl& d = *impl_;
  d.Succeed();
  switch (index) {
    case kOptionUserAgentString:
      return Utf8ToCp936(d.user_agent);
    case kOptionUrl:
      return d.url;
    case kOptionSslErrorIgnoreFlags:
      return d.ssl_ignore_flags;
    case kOptionEnableRedirects:
      return static_cast<std::int32_t>(d.follow_redirects ? 1 : 0);
    case kOptionMaxAutomaticRedirects:
      return d.max_redirects;
    default:
      d.Fail("The option is not supported");
      return {};
  }
}

bool WebRequest::SetTimeouts(int resolve, int connect, int send, int receive) {
  Impl& d = *impl_;
  d.resolve_ms = resolve;
  d.connect_ms = connect;
  d.send_ms = send;
  d.receive_ms = receive;
  return d.Succeed();
}

bool WebRequest::SetProxy(int setting, std::string_view server, std::string_view bypass) {
  Impl& d = *impl_;
  if (setting != kProxyDefault && setting != kProxyDirect && setting != kProxyNamed) {
    return d.Fail("The proxy setting is invalid");
  }
  if (setting == kProxyNamed && server.empty()) return d.Fail("A named proxy needs a server");
  d.proxy_setting = setting;
  d.proxy_server = Cp936ToUtf8(server);
  d.proxy_bypass = Cp936ToUtf8(bypass);
  return d.Succeed();
}

bool WebRequest::SetCredentials(std::string_view user, std::string_view password, int target) {
  Impl& d = *impl_;
  if (target == kCredentialsForServer) {
    d.server_user = Cp936ToUtf8(user);
    d.server_password = Cp936ToUtf8(password);
    d.server_credentials = true;
  } else if (target == kCredentialsForProxy) {
    d.proxy_user = Cp936ToUtf8(user);
    d.proxy_password = Cp936ToUtf8(password);
    d.proxy_credentials = true;
  } else {
    return d.Fail("The credentials target is invalid");
  }
  return d.Succeed();
}

bool WebRequest::SetClientCertificate(std::string_view certificate) {
  Impl& d = *impl_;
  d.client_certificate = std::string(certificate);
  return d.Succeed();
}

bool WebRequest::SetAutoLogonPolicy(int policy) {
  Impl& d = *impl_;
  if (policy < 0 || policy > 2) return d.Fail("The logon policy is invalid");
  d.logon_policy = policy;
  return d.Succeed();
}

const std::string& WebRequest::LastError() const { return impl_->last_error; }

}  // namespace platform
