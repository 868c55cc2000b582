// Sequential GET requests to a loopback server, each through a fresh
// HttpRequest as the cloud client makes them, against the same loop over
// plain libcurl easy handles. Both send the same headers and an empty body,
// and read the status and the body.
//
// Run: build/bench/http/http_request_bench
#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include "http/http_request.h"
#include "tests/http/test_server.h"

namespace {

constexpr int kRequests = 10000;

http_test::TestServer& Server() {
  static http_test::TestServer server([](const http_test::RecordedRequest&) {
    return http_test::Reply{http_test::Response(200, "OK", {{"Content-Type", "application/json"}},
                                                "{\"params\":{\"qxtxt\":{\"ver\":1}}}")};
  });
  return server;
}

void HttpRequestLoop(benchmark::State& state) {
  const std::string url = Server().Url("/config");
  for (auto _ : state) {
    http::HttpRequest request;
    request.SetAutoHeaders();
    request.Open("GET", url, 0);
    request.SetRequestHeader("X-Parse-Application-Id", "10001");
    request.SetRequestHeader("Content-Type", "application/json");
    request.SetRequestHeader("X-Device", "0123456789abcdef");
    request.SendBytes(text::ByteArray());
    text::ByteArray body = request.ResponseBody();
    if (request.Status() != 200 || body.empty()) state.SkipWithError("request failed");
    benchmark::DoNotOptimize(body.data());
  }
  state.SetItemsProcessed(state.iterations());
}

size_t Collect(char* data, size_t size, size_t count, void* user) {
  auto* body = static_cast<std::vector<std::uint8_t>*>(user);
  body->insert(body->end(), data, data + size * count);
  return size * count;
}

void CurlEasyLoop(benchmark::State& state) {
  const std::string url = Server().Url("/config");
  for (auto _ : state) {
    CURL* curl = curl_easy_init();
    std::vector<std::uint8_t> body;
    curl_slist* headers = nullptr;
    for (const char* line : {"X-Parse-Application-Id: 10001", "Content-Type: application/json",
                             "X-Device: 0123456789abcdef", "Expect:"}) {
      headers = curl_slist_append(headers, line);
    }
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_USERAGENT, http::kDefaultUserAgent.data());
    curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, "");
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE, 0L);
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, "GET");
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Collect);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    long status = 0;
    if (curl_easy_perform(curl) == CURLE_OK) curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    if (status != 200 || body.empty()) state.SkipWithError("request failed");
    curl_slist_free_all(headers);
    curl_easy_cleanup(curl);
    benchmark::DoNotOptimize(body.data());
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(CurlEasyLoop)->Iterations(kRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(HttpRequestLoop)->Iterations(kRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(CurlEasyLoop)->Iterations(kRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(HttpRequestLoop)->Iterations(kRequests)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
