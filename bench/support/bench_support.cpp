#include "bench/support/bench_support.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <fcntl.h>

#include <cstdio>
#include <fstream>
#include <random>

#include "platform/code_page.h"
#include "platform/files.h"

namespace bench {
namespace {

const std::vector<std::string>& Words() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> w;
    for (const char* utf8 : {"人脸", "违规业务", "测试", "账号", "穹溪", "文本"}) w.push_back(platform::Utf8ToCp936(utf8));
    for (const char* ascii : {"alpha", "2020/01/24", "21:45:27", "x9f3k2", "13800138000", "ok"}) w.push_back(ascii);
    return w;
  }();
  return words;
}

void AppendField(std::string& out, std::mt19937_64& random) {
  const auto& words = Words();
  out += words[random() % words.size()];
  out += std::to_string(random() % 100000);
}

}  // namespace

std::string MakeRecords(size_t lines, int fields, uint64_t seed) {
  std::mt19937_64 random(seed);
  std::string out;
  out.reserve(lines * fields * 10);
  for (size_t i = 0; i < lines; ++i) {
    for (int f = 0; f < fields; ++f) {
      if (f) out += "----";
      AppendField(out, random);
    }
    out += "\r\n";
  }
  return out;
}

MergeInputs MakeMergeInputs(size_t lines, uint64_t seed) {
  std::mt19937_64 random(seed);
  MergeInputs inputs;
  auto append_line = [&](std::string& out, uint64_t key) {
    out += std::to_string(key);
    for (int f = 1; f < 4; ++f) {
      out += "----";
      AppendField(out, random);
    }
    out += "\r\n";
  };
  for (size_t i = 0; i < lines; ++i) {
    append_line(inputs.text2, 1000000000 + 2 * i);        // even keys
    append_line(inputs.text1, 1000000000 + i);            // half of them even
  }
  return inputs;
}

size_t PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::stoull(line.substr(6)) * 1024;
  }
  return 0;
}

ChildRun RunChild(const std::vector<std::string>& argv, bool quiet) {
  std::fflush(stdout);
  auto start = std::chrono::steady_clock::now();
  pid_t pid = fork();
  if (pid == 0) {
    if (quiet) dup2(open("/dev/null", O_WRONLY), 1);
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  wait4(pid, &status, 0, &usage);
  return {SecondsSince(start), size_t(usage.ru_maxrss) * 1024, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) { return platform::ReadWholeFile(path).value_or(""); }

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Report(const std::string& name, size_t input_bytes, size_t lines, double seconds, size_t peak_bytes,
            const std::string& notes) {
  std::printf("%-28s %8.1f MB/s %11.0f lines/s %8.0f MB peak %7.3f s  %s\n", name.c_str(),
              input_bytes / 1e6 / seconds, lines / seconds, peak_bytes / 1e6, seconds, notes.c_str());
  std::fflush(stdout);
}

}  // namespace bench
