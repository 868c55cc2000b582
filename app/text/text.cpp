#include "app/text/text.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace text {
namespace {

size_t CharWidth(std::string_view text, size_t i) { return IsLeadByte(text[i]) ? 2 : 1; }

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool MatchesAt(std::string_view text, size_t i, std::string_view search, bool case_insensitive) {
  if (!case_insensitive) {
    // Separators are short: a plain loop beats a call to memcmp.
    for (size_t k = 0; k < search.size(); ++k) {
      if (text[i + k] != search[k]) return false;
    }
    return true;
  }
  for (size_t k = 0; k < search.size(); ++k) {
    if (AsciiLower(text[i + k]) != AsciiLower(search[k])) return false;
  }
  return true;
}

// Finds an ASCII first byte with memchr and then decides whether the hit is
// a character start: every byte below 0x80 ends a character, so the hit is
// one exactly when the run of lead-range bytes right before it, back to the
// last known character start, has even length. Each byte is looked at by
// that backward count at most once.
size_t FindAsciiFirst(std::string_view text, size_t i, size_t last, std::string_view search) {
  const char* data = text.data();
  while (i <= last) {
    const void* hit = std::memchr(data + i, search[0], last + 1 - i);
    if (!hit) break;
    size_t p = static_cast<size_t>(static_cast<const char*>(hit) - data);
    size_t run_start = p;
    while (run_start > i && IsLeadByte(data[run_start - 1])) --run_start;
    if ((p - run_start) % 2 == 0 && MatchesAt(text, p, search, false)) return p;
    i = p + 1;  // a character starts right after the hit either way
  }
  return std::string_view::npos;
}

// Index of the first match of `search` at a character start at or after `i`
// (itself a character start), or npos. `search` is not empty.
size_t FindFrom(std::string_view text, size_t i, std::string_view search, bool case_insensitive) {
  if (text.size() < search.size()) return std::string_view::npos;
  const size_t last = text.size() - search.size();  // last index where it fits
  if (!case_insensitive && !IsLeadByte(search[0])) return FindAsciiFirst(text, i, last, search);
  while (i <= last) {
    if (MatchesAt(text, i, search, case_insensitive)) return i;
    i += CharWidth(text, i);
  }
  return std::string_view::npos;
}

int ToPosition(size_t index) { return index == std::string_view::npos ? -1 : static_cast<int>(index + 1); }

int FindForward(std::string_view text, std::string_view search, int start, bool case_insensitive) {
  if (start < 1) start = 1;
  if (static_cast<size_t>(start) > text.size()) return -1;
  if (search.empty()) return 1;
  return ToPosition(FindFrom(text, static_cast<size_t>(start - 1), search, case_insensitive));
}

bool IsSpaceAt(std::string_view text, size_t i) {
  if (text[i] == ' ') return true;
  return i + 1 < text.size() && text[i] == '\xA1' && text[i + 1] == '\xA1';
}

Text MapBytes(std::string_view text, char (*map)(char)) {
  Text out(text);
  for (size_t i = 0; i < out.size(); i += CharWidth(out, i)) out[i] = map(out[i]);
  return out;
}

}  // namespace

int Length(std::string_view text) { return static_cast<int>(text.size()); }

bool IsEmpty(std::string_view text) { return text.empty(); }

Text Join(std::initializer_list<std::string_view> parts) {
  size_t total = 0;
  for (auto part : parts) total += part.size();
  Text out;
  out.reserve(total);
  for (auto part : parts) out.append(part);
  return out;
}

void SplitInto(std::string_view text, std::string_view separator, Pieces& pieces) {
  pieces.clear();
  if (text.empty()) return;
  if (separator.empty()) {
    pieces.push_back(text);
    return;
  }
  size_t piece_start = 0;
  size_t match;
  while ((match = FindFrom(text, piece_start, separator, false)) != std::string_view::npos) {
    pieces.push_back(text.substr(piece_start, match - piece_start));
    piece_start = match + separator.size();
  }
  if (piece_start < text.size()) pieces.push_back(text.substr(piece_start));
}

Pieces Split(std::string_view text, std::string_view separator) {
  Pieces pieces;
  SplitInto(text, separator, pieces);
  return pieces;
}

Pieces SplitLines(std::string_view text) { return Split(text, kLineEnd); }

int Find(std::string_view text, std::string_view search, int start) {
  return FindForward(text, search, start, false);
}

int FindCaseInsensitive(std::string_view text, std::string_view search, int start) {
  return FindForward(text, search, start, true);
}

int FindLast(std::string_view text, std::string_view search, int start, bool case_insensitive) {
  std::string_view region;
  if (start > 1) region = text.substr(0, static_cast<size_t>(start - 1));
  if (search.empty()) return region.empty() ? -1 : 1;
  size_t found = std::string_view::npos;
  size_t i = 0;
  while ((i = FindFrom(region, i, search, case_insensitive)) != std::string_view::npos) {
    found = i;
    i += CharWidth(region, i);
  }
  return ToPosition(found);
}

Text Left(std::string_view text, int n) {
  if (n <= 0) return Text();
  return Text(text.substr(0, static_cast<size_t>(n)));
}

Text Right(std::string_view text, int n) {
  if (n <= 0) return Text();
  size_t count = std::min(text.size(), static_cast<size_t>(n));
  return Text(text.substr(text.size() - count));
}

Text Middle(std::string_view text, int start, int n) {
  if (start < 1 || static_cast<size_t>(start) > text.size() || n <= 0) return Text();
  return Text(text.substr(static_cast<size_t>(start - 1), static_cast<size_t>(n)));
}

Text Decimal(long long value) { return std::to_string(value); }

int IntegerOfText(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

Text TrimStart(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && IsSpaceAt(text, i)) i += CharWidth(text, i);
  return Text(text.substr(i));
}

Text TrimEnd(std::string_view text) {
  size_t kept = 0;  // end of the last character that is not a space
  size_t i = 0;
  while (i < text.size()) {
    size_t width = CharWidth(text, i);
    if (i + width > text.size()) return Text(text.substr(0, i));  // lone lead byte at the end
    if (!IsSpaceAt(text, i)) kept = i + width;
    i += width;
  }
  return Text(text.substr(0, kept));
}

Text TrimBoth(std::string_view text) { return TrimEnd(TrimStart(text)); }

Text UpperCase(std::string_view text) { return MapBytes(text, AsciiUpper); }

Text LowerCase(std::string_view text) { return MapBytes(text, AsciiLower); }

Text Spaces(int n) { return n < 1 ? Text() : Text(static_cast<size_t>(n), ' '); }

Text ReplaceAt(std::string_view text, int start, int n, std::string_view replacement) {
  size_t from = static_cast<size_t>(std::clamp<long long>(start, 1, static_cast<long long>(text.size()) + 1) - 1);
  size_t count = std::min(text.size() - from, static_cast<size_t>(std::max(n, 0)));
  return Join({text.substr(0, from), replacement, text.substr(from + count)});
}

Text TextOfBytes(const ByteArray& bytes) {
  auto end = std::find(bytes.begin(), bytes.end(), 0);
  return Text(bytes.begin(), end);
}

bool BytesEqual(const ByteArray& a, const ByteArray& b) { return a == b; }

ByteArray MiddleBytes(const ByteArray& bytes, int start, int count) {
  if (start < 1 || static_cast<size_t>(start) > bytes.size() || count <= 0) return ByteArray();
  size_t from = static_cast<size_t>(start - 1);
  size_t n = std::min(bytes.size() - from, static_cast<size_t>(count));
  return ByteArray(bytes.begin() + from, bytes.begin() + from + n);
}

}  // namespace text
