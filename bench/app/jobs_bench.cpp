// The two text jobs through the in-memory toolkit, against awk doing the same.
//
//   jobs_bench all [LINES] [QT_BENCH]   generate inputs, run every mode and peer,
//                                       qxtxt-batch among them
//   jobs_bench extract FILE             ExtractColumns, columns 1, 5 and 7
//   jobs_bench merge FILE1 FILE2        MergeTexts with the window's initial ticks
//
// Each measurement runs in a process of its own, so that peak memory is its
// own. Input: LINES (default 1,000,000) lines of 12 fields for the
// extraction, two texts of LINES lines of 4 fields for the merge.
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "app/jobs/extract_columns.h"
#include "app/jobs/merge_texts.h"
#include "app/toolkit/in_memory_toolkit.h"
#include "app/toolkit/main_window_controls.h"
#include "bench/support/bench_support.h"

namespace {

using namespace main_window;

const char kAwkExtract[] = "BEGIN{FS=\"----\"; RS=\"\\r\\n\"; ORS=\"\\r\\n\"; OFS=\"----\"} {print $1, $5, $7}";
const char kAwkJoin[] =
    "BEGIN{FS=\"----\"; RS=\"\\r\\n\"; ORS=\"\\r\\n\"}"
    " NR==FNR{m[$1]=$2 FS $3 FS $4; next}"
    " {if ($1 in m) print $1 FS m[$1]; else print $1}";

// The batch front end, run file to file like the awk peers.
const char kBatchProgram[] = QXTXT_BATCH_PROGRAM;

size_t CountLines(const std::string& text) { return text::LinesOf(text).Count(); }

int Extract(const std::string& file) {
  toolkit::InMemoryToolkit tk;
  size_t bytes, lines;
  {
    std::string input = bench::ReadFile(file);
    bytes = input.size();
    lines = CountLines(input);
    tk.WriteControlText(编辑框_提取_输入, input);
  }
  tk.SetTicked(选择框5, true);
  tk.SetTicked(选择框7, true);
  auto start = std::chrono::steady_clock::now();
  tk.StartWorkerThread([&tk] { jobs::ExtractColumns(tk); });
  tk.WaitForWorkers();
  bench::Report("extract, in-memory toolkit", bytes, lines, bench::SecondsSince(start), bench::PeakResidentBytes(),
                std::to_string(tk.ReadControlText(编辑框_提取_输出).size() / 1000000) + " MB out");
  return 0;
}

int Merge(const std::string& file1, const std::string& file2) {
  toolkit::InMemoryToolkit tk;
  size_t bytes, lines;
  {
    std::string text1 = bench::ReadFile(file1), text2 = bench::ReadFile(file2);
    bytes = text1.size() + text2.size();
    lines = CountLines(text1) + CountLines(text2);
    tk.WriteControlText(编辑框_合并_输入1, text1);
    tk.WriteControlText(编辑框_合并_输入2, text2);
  }
  auto start = std::chrono::steady_clock::now();
  tk.StartWorkerThread([&tk] { jobs::MergeTexts(tk); });
  tk.WaitForWorkers();
  bench::Report("merge, in-memory toolkit", bytes, lines, bench::SecondsSince(start), bench::PeakResidentBytes(),
                std::to_string(tk.ReadControlText(编辑框_合并_输出1).size() / 1000000) + " MB out");
  return 0;
}

void RunPeer(const std::string& name, const std::vector<std::string>& argv, size_t bytes, size_t lines) {
  bench::ChildRun run = bench::RunChild(argv, true);
  if (run.exit_code != 0) return (void)std::printf("%-28s not available (exit %d)\n", name.c_str(), run.exit_code);
  bench::Report(name, bytes, lines, run.seconds, run.peak_resident_bytes, "whole process, file to /dev/null");
}

std::vector<std::string> Awks() {
  std::vector<std::string> found;
  for (const char* awk : {"mawk", "gawk"}) {
    std::string path = std::string("/usr/bin/") + awk;
    if (access(path.c_str(), X_OK) == 0) found.push_back(path);
  }
  return found;
}

int All(size_t lines, const std::string& self, const std::string& qt_bench) {
  auto dir = std::filesystem::temp_directory_path() / ("qxtxt-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  const std::string records = (dir / "records.txt").string(), text1 = (dir / "text1.txt").string(),
                    text2 = (dir / "text2.txt").string();
  size_t extract_bytes, merge_bytes;
  {
    std::string input = bench::MakeRecords(lines, 12, 1);
    extract_bytes = input.size();
    bench::WriteFile(records, input);
    bench::MergeInputs merge = bench::MakeMergeInputs(lines, 2);
    merge_bytes = merge.text1.size() + merge.text2.size();
    bench::WriteFile(text1, merge.text1);
    bench::WriteFile(text2, merge.text2);
  }
  std::printf("extraction: %zu lines of 12 fields, %.1f MB; columns 1, 5, 7\n", lines, extract_bytes / 1e6);
  bench::RunChild({self, "extract", records}, false);
  if (!qt_bench.empty()) bench::RunChild({qt_bench, "extract", records}, false);
  RunPeer("qxtxt-batch extract", {kBatchProgram, "extract", "-c", "1,5,7", "-o", "/dev/null", records}, extract_bytes,
          lines);
  for (const auto& awk : Awks()) RunPeer(awk + " -F'----'", {awk, kAwkExtract, records}, extract_bytes, lines);

  std::printf("\nmerge: two texts of %zu lines of 4 fields, %.1f MB; half of the keys match\n", lines,
              merge_bytes / 1e6);
  bench::RunChild({self, "merge", text1, text2}, false);
  if (!qt_bench.empty()) bench::RunChild({qt_bench, "merge", text1, text2}, false);
  RunPeer("qxtxt-batch merge", {kBatchProgram, "merge", "-o", "/dev/null", text1, text2}, merge_bytes, 2 * lines);
  for (const auto& awk : Awks()) RunPeer(awk + " hash join", {awk, kAwkJoin, text2, text1}, merge_bytes, 2 * lines);
  std::filesystem::remove_all(dir);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string mode = argc > 1 ? argv[1] : "all";
  if (mode == "extract" && argc == 3) return Extract(argv[2]);
  if (mode == "merge" && argc == 4) return Merge(argv[2], argv[3]);
  if (mode == "all") {
    size_t lines = argc > 2 ? std::stoul(argv[2]) : 1000000;
    return All(lines, std::filesystem::canonical("/proc/self/exe").string(), argc > 3 ? argv[3] : "");
  }
  std::fprintf(stderr, "usage: %s all [LINES] [QT_BENCH] | extract FILE | merge FILE1 FILE2\n", argv[0]);
  return 2;
}
