#include "app/toolkit/line_ends.h"

#include <cstdint>
#include <cstring>

namespace toolkit {
namespace {

bool HasByte(uint64_t word, uint64_t repeated) {
  constexpr uint64_t kOnes = 0x0101010101010101ULL, kHighs = 0x8080808080808080ULL;
  uint64_t equal = word ^ repeated;
  return ((equal - kOnes) & ~equal & kHighs) != 0;
}

// The index of the first CR or LF at or after `i`, or the size. Looks at
// eight bytes at a time: most pieces hold no line end at all.
size_t NextLineEndByte(std::string_view piece, size_t i) {
  constexpr uint64_t kCrs = 0x0D0D0D0D0D0D0D0DULL, kLfs = 0x0A0A0A0A0A0A0A0AULL;
  for (uint64_t word; i + 8 <= piece.size(); i += 8) {
    std::memcpy(&word, piece.data() + i, 8);
    if (HasByte(word, kCrs) || HasByte(word, kLfs)) break;
  }
  while (i < piece.size() && piece[i] != '\r' && piece[i] != '\n') ++i;
  return i;
}

// Calls `visit` with the position of every `byte` in `text`, in order, until
// it returns false; tells whether it never did. memchr keeps the scan of a
// large text fast.
template <typename Visit>
bool ForEachByte(std::string_view text, char byte, Visit visit) {
  const char* end = text.data() + text.size();
  for (const char* p = text.data(); (p = static_cast<const char*>(std::memchr(p, byte, size_t(end - p)))); ++p) {
    if (!visit(size_t(p - text.data()))) return false;
  }
  return true;
}

bool HasOnlyCrLfLineEnds(std::string_view text) {
  return ForEachByte(text, '\n', [&](size_t i) { return i > 0 && text[i - 1] == '\r'; }) &&
         ForEachByte(text, '\r', [&](size_t i) { return i + 1 < text.size() && text[i + 1] == '\n'; });
}

}  // namespace

void AppendLines(text::Text& out, std::string_view piece, bool& ends_with_lone_cr) {
  size_t i = 0;
  if (ends_with_lone_cr && !piece.empty() && piece[0] == '\n') i = 1;
  ends_with_lone_cr = false;
  while (i < piece.size()) {
    size_t end = NextLineEndByte(piece, i);
    out.append(piece, i, end - i);
    if (end == piece.size()) break;
    out.append(text::kLineEnd);
    if (piece[end] == '\r' && end + 1 < piece.size() && piece[end + 1] == '\n') {
      i = end + 2;
    } else {
      ends_with_lone_cr = piece[end] == '\r' && end + 1 == piece.size();
      i = end + 1;
    }
  }
}

text::Text WithCrLfLineEnds(text::Text text) {
  if (HasOnlyCrLfLineEnds(text)) return text;
  text::Text lines;
  bool no_lone_cr = false;
  AppendLines(lines, text, no_lone_cr);
  return lines;
}

}  // namespace toolkit
