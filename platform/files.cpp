#include "platform/files.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <memory>

namespace platform {
namespace {

void SetError(int* error, int value) {
  if (error) *error = value;
}

std::optional<std::string> ReadToEnd(std::FILE* file, int* error) {
  std::string content;
  // Reserving a regular file's size keeps a large file from being copied
  // while the string grows.
  struct stat status {};
  if (fstat(fileno(file), &status) == 0 && S_ISREG(status.st_mode)) content.reserve(size_t(status.st_size));
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) content.append(buffer, got);
  if (std::ferror(file)) {
    SetError(error, errno);
    return std::nullopt;
  }
  return content;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path, int* error) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) {
    SetError(error, errno);
    return std::nullopt;
  }
  return ReadToEnd(file.get(), error);
}

std::optional<std::string> ReadStandardInput(int* error) { return ReadToEnd(stdin, error); }

OutputFile OutputFile::StandardOutput() { return OutputFile(stdout, false); }

std::optional<OutputFile> OutputFile::Create(const std::string& path, int* error) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    SetError(error, errno);
    return std::nullopt;
  }
  return OutputFile(file, true);
}

OutputFile::OutputFile(OutputFile&& other) noexcept
    : file_(other.file_), owned_(other.owned_), error_(other.error_) {
  other.file_ = nullptr;
}

OutputFile::~OutputFile() {
  if (file_ && owned_) std::fclose(file_);
}

void OutputFile::Write(std::string_view bytes) {
  if (error_ || !file_) return;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size()) error_ = errno ? errno : EIO;
}

bool OutputFile::Close(int* error) {
  if (file_) {
    if (std::fflush(file_) != 0 && !error_) error_ = errno;
    if (owned_ && std::fclose(file_) != 0 && !error_) error_ = errno;
    file_ = nullptr;
  }
  SetError(error, error_);
  return error_ == 0;
}

}  // namespace platform
