// Files, addressed by paths in the operating system's own encoding (UTF-8
// bytes on Linux), exactly as the shell hands them over, and the process's
// standard input and output.
//
// Contract: callable from any thread (an OutputFile from one thread at a
// time). ReadWholeFile gives the whole content, or nothing when the file
// cannot be opened or read (a directory, a missing file, a path that is
// several paths); `error`, when given, then receives the system's error
// number. The whole file is held in memory.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path, int* error = nullptr);
// Standard input, read to its end.
std::optional<std::string> ReadStandardInput(int* error = nullptr);

// A file being written: standard output, or a file created (or emptied) at
// a path. Writes go straight through; Close tells whether every write and
// the close itself succeeded, and the error number of the first failure.
class OutputFile {
 public:
  static OutputFile StandardOutput();
  // Nothing when the file cannot be created; `error` receives the reason.
  static std::optional<OutputFile> Create(const std::string& path, int* error);

  OutputFile(OutputFile&& other) noexcept;
  OutputFile& operator=(OutputFile&&) = delete;
  ~OutputFile();

  void Write(std::string_view bytes);
  bool Close(int* error);

 private:
  OutputFile(std::FILE* file, bool owned) : file_(file), owned_(owned) {}

  std::FILE* file_;
  bool owned_;
  int error_ = 0;
};

}  // namespace platform
