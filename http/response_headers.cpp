#include "http/response_headers.h"

namespace http {
namespace {

constexpr std::string_view kSetCookie = "Set-Cookie:";

// The end of the header value that starts at `start`: the first ";" before
// the line end, else the line end; -1 when no line end follows.
int ValueEnd(std::string_view headers, int start) {
  int line_end = text::Find(headers, text::kLineEnd, start);
  if (line_end < 1) return -1;
  int semicolon = text::Find(headers, ";", start);
  return (semicolon >= 1 && semicolon < line_end) ? semicolon : line_end;
}

}  // namespace

std::vector<text::Text> SetCookiePairs(std::string_view headers) {
  std::vector<text::Text> pairs;
  int found = text::FindCaseInsensitive(headers, kSetCookie);
  while (found >= 1) {
    int start = found + static_cast<int>(kSetCookie.size());
    int end = ValueEnd(headers, start);
    if (end < 1) break;
    pairs.push_back(text::TrimStart(text::Middle(headers, start, end - start)));
    found = text::FindCaseInsensitive(headers, kSetCookie, end);
  }
  return pairs;
}

bool IsDeletionMarker(std::string_view pair) {
  return pair.ends_with("=deleted") || pair.ends_with("=DELETED") || pair.ends_with("=Deleted");
}

text::Text ResponseCookieValue(std::string_view headers, std::string_view name) {
  text::Text key = text::Join({"Set-Cookie: ", name, "="});
  int found = text::FindCaseInsensitive(headers, key);
  if (found < 1) {
    key = text::Join({kSetCookie, name, "="});
    found = text::FindCaseInsensitive(headers, key);
  }
  if (found < 1) return {};
  int start = found + text::Length(key);
  int end = ValueEnd(headers, start);
  return end < 1 ? text::Text() : text::Middle(headers, start, end - start);
}

text::Text LocationHeader(std::string_view headers) {
  // Only a header named Location counts: a Content-Location names the body,
  // not a place to go.
  constexpr std::string_view kLocation = "Location:";
  int found = text::FindCaseInsensitive(headers, kLocation);
  while (found > 1 && headers[found - 2] != '\n') found = text::FindCaseInsensitive(headers, kLocation, found + 1);
  if (found < 1) return {};
  int start = found + static_cast<int>(kLocation.size());
  int line_end = text::Find(headers, text::kLineEnd, start);
  if (line_end < 1) return {};
  return text::TrimBoth(text::Middle(headers, start, line_end - start));
}

}  // namespace http
