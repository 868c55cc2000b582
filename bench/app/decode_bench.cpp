// Loading a dropped UTF-8 file: detection and decoding to code page 936.
//
//   decode_bench [MEGABYTES]   (default 100)
// Reports the decoding alone and the whole drop (read, decode, write into
// the box) through the in-memory toolkit.
#include <cstdio>
#include <filesystem>
#include <unistd.h>

#include "app/commands.h"
#include "app/text/text_encoding.h"
#include "app/toolkit/in_memory_toolkit.h"
#include "app/toolkit/main_window_controls.h"
#include "bench/support/bench_support.h"
#include "platform/code_page.h"

int main(int argc, char** argv) {
  size_t megabytes = argc > 1 ? std::stoul(argv[1]) : 100;
  std::string utf8;
  while (utf8.size() < megabytes * 1000000) utf8 += platform::Cp936ToUtf8(bench::MakeRecords(10000, 12, utf8.size()));
  const std::string path =
      (std::filesystem::temp_directory_path() / ("qxtxt-decode-" + std::to_string(getpid()) + ".txt")).string();
  bench::WriteFile(path, utf8);
  const size_t lines = text::LinesOf(utf8).Count();
  std::printf("UTF-8 file of %.1f MB, %zu lines, Chinese mixed with ASCII\n", utf8.size() / 1e6, lines);

  auto start = std::chrono::steady_clock::now();
  text::Text decoded = text::DecodeTextFile(utf8);
  bench::Report("decode (DecodeTextFile)", utf8.size(), lines, bench::SecondsSince(start), bench::PeakResidentBytes(),
                std::to_string(decoded.size() / 1000000) + " MB of code page 936");
  decoded = text::Text();

  toolkit::InMemoryToolkit tk;
  start = std::chrono::steady_clock::now();
  app::LoadDroppedFile(tk, path, main_window::编辑框_提取_输入);
  bench::Report("drop (read, decode, box)", utf8.size(), lines, bench::SecondsSince(start), bench::PeakResidentBytes());
  std::filesystem::remove(path);
  return 0;
}
