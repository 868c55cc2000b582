// The platform's HTTP request object: one HTTP/1.1 exchange at a time, over
// libcurl. It is the only code of the tool that knows libcurl.
//
// Use: Open(method, url, async) → SetRequestHeader per header → Send (no
// body, a text body or a byte body) → read Status, StatusText, the body and
// the response headers. Open may be called again for a further request on
// the same object; it clears the request headers and the last response.
// Object-wide settings (options, timeouts, proxy, credentials, client
// certificate, logon policy) survive Open.
//
// Contract:
//  - Texts given to the object and read back from it are code page 936. Text
//    bodies, URLs and request header values go out as UTF-8; the response
//    headers and status text are read as UTF-8, the response text as the
//    charset its Content-Type names (code page 936 for the GBK family, UTF-8
//    otherwise).
//  - Request headers reach the server with the names, case and order the
//    caller gave; a later header of the same name (in any case) replaces the
//    value of the earlier one in its place. A name or value holding CR or LF,
//    or a name holding a colon or a space, is refused: it never reaches the
//    wire.
//  - Nothing throws. Every call leaves LastError: "" after success, a
//    description after failure. A request that fails (refused connection,
//    name not resolved, timeout, certificate error, connection closed
//    mid-body, too many redirects, body too large for memory) leaves Status 0,
//    an empty body and no headers.
//  - Certificates are verified unless option 4 says otherwise.
//  - An object belongs to one thread. With async true, Send returns at once
//    and the exchange runs on a thread of its own; WaitForResponse waits for
//    it and Abort cancels it. Until it has finished, the response readers
//    return 0 or empty values and say so in LastError. Destroying the object
//    cancels a running exchange and waits for its thread.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace platform {

// The value of an option, as read or written: no value, a number, a text or
// bytes. Numbers stand for flags too (0 or 1).
using WebOptionValue = std::variant<std::monostate, std::int32_t, std::string, std::vector<std::uint8_t>>;

// Option indexes the object knows.
enum WebOption : int {
  kOptionUserAgentString = 0,  // text sent as User-Agent when no header gives one; "" sends none
  kOptionUrl = 1,              // read only: the URL of the last Open
  kOptionSslErrorIgnoreFlags = 4,
  kOptionEnableRedirects = 6,  // 1: follow redirects (the default)
  kOptionMaxAutomaticRedirects = 14,  // hops followed at most, default 10
};

// Bits of option 4: certificate faults to ignore. An untrusted authority, a
// wrong usage or an invalid date turn off the check of the certificate chain
// (the date is checked with the chain); an invalid common name turns off the
// check of the host name.
inline constexpr std::int32_t kIgnoreUnknownAuthority = 0x0100;
inline constexpr std::int32_t kIgnoreWrongUsage = 0x0200;
inline constexpr std::int32_t kIgnoreInvalidCommonName = 0x1000;
inline constexpr std::int32_t kIgnoreInvalidDate = 0x2000;
inline constexpr std::int32_t kIgnoreAllCertificateErrors = 0x3300;

// SetProxy settings.
inline constexpr int kProxyDefault = 0;  // whatever the environment configures
inline constexpr int kProxyDirect = 1;   // no proxy
inline constexpr int kProxyNamed = 2;    // the server given, except for the bypass list

// SetCredentials targets.
inline constexpr int kCredentialsForServer = 0;
inline constexpr int kCredentialsForProxy = 1;

// Wait forever in WaitForResponse.
inline constexpr int kWaitForever = -1;

class WebRequest {
 public:
  WebRequest();
  ~WebRequest();
  WebRequest(const WebRequest&) = delete;
  WebRequest& operator=(const WebRequest&) = delete;

  // Starts a new request. An empty method is "GET". The method goes out in
  // the caller's case.
  bool Open(std::string_view method, std::string_view url, bool async);
  // An empty value sends the header with nothing after its colon.
  bool SetRequestHeader(std::string_view name, std::string_view value);

  bool Send();
  bool SendText(std::string_view text);
  bool SendBytes(std::span<const std::uint8_t> body);

  // Waits up to `timeout_seconds` (kWaitForever: no limit) for the exchange
  // to finish. True when a response has arrived.
  bool WaitForResponse(int timeout_seconds);
  void Abort();

  int Status();
  std::string StatusText();
  std::vector<std::uint8_t> ResponseBody();
  std::string ResponseText();
  // The header lines of the final response after its status line, each ended
  // by CR LF, then an empty line; "" when there is no response.
  std::string AllResponseHeaders();
  // The value of the first header of that name (in any case), trimmed.
  std::string ResponseHeader(std::string_view name);

  bool SetOption(int index, const WebOptionValue& value);
  WebOptionValue Option(int index);

  // Milliseconds; 0 or less means no limit. Resolve and connect together
  // bound the time to establish the connection; send and receive bound the
  // time without progress while the request goes out and the response comes
  // in, counted in whole seconds (rounded up). Defaults: resolve none,
  // connect 60000, send 30000, receive 30000.
  bool SetTimeouts(int resolve, int connect, int send, int receive);
  // `server` is host:port; `bypass` a list of hosts reached directly.
  bool SetProxy(int setting, std::string_view server, std::string_view bypass);
  // Basic credentials for the server or the proxy, sent with every request.
  bool SetCredentials(std::string_view user, std::string_view password, int target);
  // The file name of a PEM file that holds the client certificate and its
  // private key; "" sends none.
  bool SetClientCertificate(std::string_view certificate);
  // 0 always, 1 intranet hosts only, 2 never log on with the user's own
  // identity. This platform has no single sign-on to log on with, so the
  // policy is kept and validated but changes nothing on the wire.
  bool SetAutoLogonPolicy(int policy);

  const std::string& LastError() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
