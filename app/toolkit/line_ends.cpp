#include "app/toolkit/line_ends.h"

#include <algorithm>
#include <cstring>

namespace toolkit {
namespace {

// The index of the first CR or LF at or after `i`, or the size.
size_t NextLineEndByte(std::string_view piece, size_t i) {
  while (i < piece.size() && piece[i] != '\r' && piece[i] != '\n') ++i;
  return i;
}

// Every LF follows a CR and there are as many CRs as LFs, so every CR is
// followed by an LF too.
bool HasOnlyCrLfLineEnds(std::string_view text) {
  size_t line_feeds = 0;
  const char* begin = text.data();
  const char* end = begin + text.size();
  for (const char* p = begin; (p = static_cast<const char*>(std::memchr(p, '\n', size_t(end - p)))); ++p) {
    if (p == begin || p[-1] != '\r') return false;
    ++line_feeds;
  }
  return size_t(std::count(begin, end, '\r')) == line_feeds;
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
