// Inputs and measurements shared by the job benchmarks.
//
// The generated record texts are deterministic for a seed: code page 936
// bytes, lines ended by CR LF, fields joined by "----", ASCII mixed with
// Chinese. Measurements are of the calling process or of a child it waits
// for. Not thread-safe; call from the benchmark's main thread.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace bench {

// `lines` lines of `fields` fields each.
std::string MakeRecords(size_t lines, int fields, uint64_t seed);

// Two texts of `lines` lines and four fields, keyed by their first field;
// about half of text 1's keys occur in text 2.
struct MergeInputs {
  std::string text1, text2;
};
MergeInputs MakeMergeInputs(size_t lines, uint64_t seed);

// The process's peak resident memory so far, in bytes.
size_t PeakResidentBytes();

// Runs `argv` and waits for it; its standard output goes to /dev/null when
// `quiet`, else to ours.
struct ChildRun {
  double seconds;
  size_t peak_resident_bytes;
  int exit_code;
};
ChildRun RunChild(const std::vector<std::string>& argv, bool quiet);

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);

double SecondsSince(std::chrono::steady_clock::time_point start);

// One result line: name, throughput, lines per second, peak memory, notes.
void Report(const std::string& name, size_t input_bytes, size_t lines, double seconds, size_t peak_bytes,
            const std::string& notes = "");

}  // namespace bench
