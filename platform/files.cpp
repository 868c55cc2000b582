#include "platform/files.h"

#include <cstdio>
#include <memory>

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "rb"), std::fclose);
  if (!file) return std::nullopt;
  std::string content;
  char buffer[1 << 16];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) content.append(buffer, got);
  if (std::ferror(file.get())) return std::nullopt;
  return content;
}

}  // namespace platform
