#include "app/toolkit/line_ends.h"

#include <cstring>

namespace toolkit {
namespace {

// The index of the first CR or LF at or after `i`, or the size.
size_t NextLineEndByte(std::string_view piece, size_t i) {
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
