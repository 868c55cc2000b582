// Cost of one media-type lookup, against what a lookup costs when every one
// starts a fresh engine and runs the whole MIME script, and the parts of that
// cost: starting and stopping an engine, and a fresh engine that skips
// compiling by loading the script as bytecode compiled once.
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include <duktape.h>

#include "http/mime_script.h"
#include "http/mime_types.h"
#include "http/script_engine.h"
#include "http/script_host.h"

namespace {

const char* const kNames[] = {"photo.JPG", "C:\\dir\\archive.tar.gz", "app.apk", "README",
                              "dir/.jpg", "report.docx", "movie.mp4", "name."};
constexpr std::size_t kNameCount = sizeof kNames / sizeof kNames[0];

void BM_LookupMimeType(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(http::LookupMimeType(kNames[i++ % kNameCount]));
}
BENCHMARK(BM_LookupMimeType);

// Every lookup with a host of its own that runs the whole script.
void BM_FreshHostRunningTheWholeScript(benchmark::State& state) {
  std::size_t i = 0;
  for (auto _ : state) {
    http::ScriptHost host;
    host.ExecuteStatement(http::MimeScript());
    benchmark::DoNotOptimize(host.Run("getType", kNames[i++ % kNameCount]));
  }
}
BENCHMARK(BM_FreshHostRunningTheWholeScript)->Unit(benchmark::kMillisecond);

void BM_EngineStartAndStop(benchmark::State& state) {
  for (auto _ : state) http::ScriptEngine engine;
}
BENCHMARK(BM_EngineStartAndStop)->Unit(benchmark::kMillisecond);

std::vector<char> MimeScriptBytecode() {
  duk_context* heap = duk_create_heap_default();
  const std::string_view script = http::MimeScript();
  duk_compile_lstring(heap, 0, script.data(), script.size());
  duk_dump_function(heap);
  duk_size_t size = 0;
  const char* bytes = static_cast<const char*>(duk_get_buffer(heap, -1, &size));
  std::vector<char> bytecode(bytes, bytes + size);
  duk_destroy_heap(heap);
  return bytecode;
}

// A fresh engine per lookup, the script compiled once and loaded as bytecode.
void BM_FreshHeapLoadingTheScriptAsBytecode(benchmark::State& state) {
  const std::vector<char> bytecode = MimeScriptBytecode();
  std::size_t i = 0;
  for (auto _ : state) {
    duk_context* heap = duk_create_heap_default();
    std::memcpy(duk_push_fixed_buffer(heap, bytecode.size()), bytecode.data(), bytecode.size());
    duk_load_function(heap);
    duk_call(heap, 0);
    duk_pop(heap);
    duk_get_global_string(heap, "getType");
    duk_push_string(heap, kNames[i++ % kNameCount]);
    duk_call(heap, 1);
    benchmark::DoNotOptimize(duk_get_string(heap, -1));
    duk_destroy_heap(heap);
  }
}
BENCHMARK(BM_FreshHeapLoadingTheScriptAsBytecode)->Unit(benchmark::kMillisecond);

}  // namespace
