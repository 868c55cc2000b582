#include "tests/http/test_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace http_test {
namespace {

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

struct Credentials {
  EVP_PKEY* key;
  X509* certificate;
};

// A certificate nobody trusts, signed by its own key.
Credentials SelfSigned(const char* common_name) {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  X509* certificate = X509_new();
  X509_set_version(certificate, 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate), 0);
  X509_gmtime_adj(X509_getm_notAfter(certificate), 24 * 3600);
  X509_set_pubkey(certificate, key);
  X509_NAME* name = X509_get_subject_name(certificate);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(common_name), -1, -1,
                             0);
  X509_set_issuer_name(certificate, name);
  X509_sign(certificate, key, EVP_sha256());
  return {key, certificate};
}

SSL_CTX* ServerContext(bool ask_client_certificate) {
  Credentials own = SelfSigned("127.0.0.1");
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  SSL_CTX_use_certificate(ctx, own.certificate);
  SSL_CTX_use_PrivateKey(ctx, own.key);
  X509_free(own.certificate);
  EVP_PKEY_free(own.key);
  if (ask_client_certificate) {
    SSL_CTX_set_verify(ctx, SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT, [](int, X509_STORE_CTX*) { return 1; });
  }
  return ctx;
}

// One context per kind, made once per process.
SSL_CTX* ContextFor(Transport transport) {
  static SSL_CTX* plain_client = ServerContext(false);
  static SSL_CTX* asking_client = ServerContext(true);
  return transport == Transport::kTls ? plain_client : asking_client;
}

std::string CommonName(X509* certificate) {
  char name[256] = {};
  X509_NAME_get_text_by_NID(X509_get_subject_name(certificate), NID_commonName, name, sizeof name);
  return name;
}

// One accepted connection, plain or TLS.
class Connection {
 public:
  Connection(int fd, Transport transport) : fd_(fd) {
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    if (transport == Transport::kPlain) return;
    ssl_ = SSL_new(ContextFor(transport));
    SSL_set_fd(ssl_, fd);
    if (SSL_accept(ssl_) != 1) ok_ = false;
  }
  ~Connection() {
    if (ssl_ != nullptr) {
      if (ok_) SSL_shutdown(ssl_);
      SSL_free(ssl_);
    }
    shutdown(fd_, SHUT_RDWR);
    close(fd_);
  }
  bool Ok() const { return ok_; }
  std::string PeerName() const {
    X509* peer = ssl_ ? SSL_get1_peer_certificate(ssl_) : nullptr;
    if (peer == nullptr) return "";
    std::string name = CommonName(peer);
    X509_free(peer);
    return name;
  }
  long Read(char* buffer, size_t size) {
    return ssl_ ? SSL_read(ssl_, buffer, static_cast<int>(size)) : recv(fd_, buffer, size, 0);
  }
  void Write(std::string_view data) {
    while (!data.empty()) {
      long n = ssl_ ? SSL_write(ssl_, data.data(), static_cast<int>(data.size()))
                    : send(fd_, data.data(), data.size(), MSG_NOSIGNAL);
      if (n <= 0) return;
      data.remove_prefix(static_cast<size_t>(n));
    }
  }

 private:
  int fd_;
  SSL* ssl_ = nullptr;
  bool ok_ = true;
};

bool ReadRequest(Connection& connection, RecordedRequest& request) {
  std::string data;
  char buffer[4096];
  size_t head_end;
  while ((head_end = data.find("\r\n\r\n")) == std::string::npos) {
    long n = connection.Read(buffer, sizeof buffer);
    if (n <= 0) return false;
    data.append(buffer, static_cast<size_t>(n));
  }
  std::string_view head = std::string_view(data).substr(0, head_end + 2);
  size_t line_end = head.find("\r\n");
  request.request_line = std::string(head.substr(0, line_end));
  for (size_t at = line_end + 2; at < head.size();) {
    size_t end = head.find("\r\n", at);
    request.header_lines.emplace_back(head.substr(at, end - at));
    at = end + 2;
  }
  size_t length = static_cast<size_t>(std::atol(request.Value("Content-Length").c_str()));
  request.body = data.substr(head_end + 4);
  while (request.body.size() < length) {
    long n = connection.Read(buffer, sizeof buffer);
    if (n <= 0) return false;
    request.body.append(buffer, static_cast<size_t>(n));
  }
  return true;
}

}  // namespace

std::string RecordedRequest::Method() const { return request_line.substr(0, request_line.find(' ')); }

std::string RecordedRequest::Target() const {
  size_t start = request_line.find(' ') + 1;
  return request_line.substr(start, request_line.rfind(' ') - start);
}

std::vector<std::string> RecordedRequest::Values(std::string_view name) const {
  std::vector<std::string> values;
  for (const std::string& line : header_lines) {
    size_t colon = line.find(':');
    if (colon == std::string::npos || Lower(line.substr(0, colon)) != Lower(name)) continue;
    size_t start = line.find_first_not_of(' ', colon + 1);
    values.push_back(start == std::string::npos ? "" : line.substr(start));
  }
  return values;
}

std::string RecordedRequest::Value(std::string_view name) const {
  std::vector<std::string> values = Values(name);
  return values.empty() ? "" : values.front();
}

std::vector<std::string> RecordedRequest::Names() const {
  std::vector<std::string> names;
  for (const std::string& line : header_lines) names.push_back(line.substr(0, line.find(':')));
  return names;
}

std::string Response(int status, std::string_view reason, const Headers& headers, std::string_view body) {
  std::string raw = "HTTP/1.1 " + std::to_string(status) + " " + std::string(reason) + "\r\n";
  for (const auto& [name, value] : headers) raw += name + ": " + value + "\r\n";
  raw += "Content-Length: " + std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n";
  raw += body;
  return raw;
}

TestServer::TestServer(Handler handler, Transport transport)
    : handler_(std::move(handler)), transport_(transport) {
  signal(SIGPIPE, SIG_IGN);
  listen_fd_ = socket(AF_INET, SOCK_STREAM, 0);
  int yes = 1;
  setsockopt(listen_fd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  if (bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(listen_fd_, 16) != 0) {
    throw std::runtime_error("test server cannot listen");
  }
  socklen_t size = sizeof address;
  getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &size);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

TestServer::~TestServer() {
  stop_ = true;
  thread_.join();
  close(listen_fd_);
}

std::string TestServer::Url(std::string_view path) const {
  return std::string(transport_ == Transport::kPlain ? "http" : "https") + "://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

std::vector<RecordedRequest> TestServer::Requests() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return requests_;
}

void TestServer::Serve() {
  while (!stop_) {
    pollfd waiting{listen_fd_, POLLIN, 0};
    if (poll(&waiting, 1, 50) <= 0) continue;
    int fd = accept(listen_fd_, nullptr, nullptr);
    if (fd >= 0) ServeConnection(fd);
  }
}

void TestServer::ServeConnection(int fd) {
  Connection connection(fd, transport_);
  RecordedRequest request;
  if (!connection.Ok() || !ReadRequest(connection, request)) return;
  request.client_certificate_name = connection.PeerName();
  {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
  }
  Reply reply = handler_(request);
  auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(reply.delay_ms);
  while (!stop_ && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  connection.Write(reply.raw);
}

void WriteClientCertificate(const std::string& file_name, const std::string& name) {
  Credentials own = SelfSigned(name.c_str());
  FILE* file = std::fopen(file_name.c_str(), "w");
  if (file == nullptr) throw std::runtime_error("cannot write " + file_name);
  PEM_write_X509(file, own.certificate);
  PEM_write_PrivateKey(file, own.key, nullptr, nullptr, 0, nullptr, nullptr);
  std::fclose(file);
  X509_free(own.certificate);
  EVP_PKEY_free(own.key);
}

int UnusedPort() {
  int fd = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t size = sizeof address;
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  close(fd);
  return ntohs(address.sin_port);
}

}  // namespace http_test
