// A small HTTP/1.1 server on 127.0.0.1 for the tests, plain or TLS with a
// self-signed certificate made at start (optionally asking the client for a
// certificate of its own, of any issuer). It records every request as it
// arrived (request line, header lines in order and case, body) and answers
// each with the raw bytes its handler returns, after an optional delay, then
// closes the connection. Connections are served one after the other on the
// server's own thread; every read has a timeout, and destruction stops the
// server at once.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace http_test {

struct RecordedRequest {
  std::string request_line;
  std::vector<std::string> header_lines;
  std::string body;
  std::string client_certificate_name;  // common name of the client's certificate

  std::string Method() const;
  std::string Target() const;
  // Values of every header of that name (any case), in order.
  std::vector<std::string> Values(std::string_view name) const;
  // The first value, or "" when there is none.
  std::string Value(std::string_view name) const;
  bool Has(std::string_view name) const { return !Values(name).empty(); }
  std::vector<std::string> Names() const;
};

struct Reply {
  std::string raw;   // written as it is; empty closes without an answer
  int delay_ms = 0;  // waited before writing
};

using Headers = std::vector<std::pair<std::string, std::string>>;

// A complete response with Content-Length and Connection: close added.
std::string Response(int status, std::string_view reason, const Headers& headers = {}, std::string_view body = {});

enum class Transport { kPlain, kTls, kTlsWithClientCertificate };

class TestServer {
 public:
  using Handler = std::function<Reply(const RecordedRequest&)>;
  explicit TestServer(Handler handler, Transport transport = Transport::kPlain);
  ~TestServer();
  TestServer(const TestServer&) = delete;
  TestServer& operator=(const TestServer&) = delete;

  int Port() const { return port_; }
  // "http://127.0.0.1:<port>" (or https) followed by `path`.
  std::string Url(std::string_view path) const;
  std::vector<RecordedRequest> Requests() const;

 private:
  void Serve();
  void ServeConnection(int fd);

  Handler handler_;
  Transport transport_;
  int listen_fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
  std::thread thread_;
};

// A loopback port on which nothing listens: connections are refused.
int UnusedPort();

// Writes a PEM file holding a self-signed client certificate with the common
// name `name` and its private key; the caller removes it.
void WriteClientCertificate(const std::string& file_name, const std::string& name);

}  // namespace http_test
