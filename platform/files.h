// Files, addressed by paths in the operating system's own encoding (UTF-8
// bytes on Linux), exactly as the shell hands them over.
//
// Contract: callable from any thread. ReadWholeFile gives the whole content,
// or nothing when the file cannot be opened or read (a directory, a missing
// file, a path that is several paths). The whole file is held in memory.
#pragma once

#include <optional>
#include <string>

namespace platform {

std::optional<std::string> ReadWholeFile(const std::string& path);

}  // namespace platform
