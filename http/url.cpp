#include "http/url.h"

#include <algorithm>
#include <climits>

namespace http {
namespace {

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && text::LowerCase(text.substr(0, prefix.size())) == prefix;
}

bool IsAbsolute(std::string_view url) {
  return StartsWithIgnoringCase(url, kHttp) || StartsWithIgnoringCase(url, kHttps);
}

// The decimal number that `digits` begins with; 0 when it begins with no
// digit. Saturates instead of overflowing.
int LeadingNumber(std::string_view digits) {
  long long value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    value = std::min<long long>(value * 10 + (c - '0'), INT_MAX);
  }
  return static_cast<int>(value);
}

}  // namespace

text::Text WithSchemeDefault(std::string_view url) {
  if (url.size() >= kHttps.size() && IsAbsolute(url)) return text::Text(url);
  return text::Join({kHttp, url});
}

bool SplitUrl(std::string_view url, UrlParts& parts) {
  if (url.empty()) return false;
  int host_start = 1;
  parts.scheme = kHttp;
  if (url.size() >= 8 && StartsWithIgnoringCase(url, kHttps)) {
    parts.scheme = kHttps;
    host_start = 9;
  } else if (url.size() >= 8 && StartsWithIgnoringCase(url, kHttp)) {
    host_start = 8;
  }
  text::Text work(url);
  int slash = text::Find(work, "/", host_start);
  if (slash < 1) {
    work += '/';
    slash = text::Length(work);
  }
  parts.path = text::Middle(work, slash, text::Length(work) - slash + 1);
  // The port separator is looked for among the last bytes before the slash,
  // but never before the host: the colon of the scheme is no port separator.
  int colon = text::Find(work, ":", std::max(slash - 7, host_start));
  int host_end;
  if (colon < 1 || colon > slash) {
    parts.port = parts.scheme == kHttps ? 443 : 80;
    host_end = slash - 1;
  } else {
    parts.port = LeadingNumber(std::string_view(work).substr(colon, slash - colon - 1));
    if (parts.port < 11) parts.port = 80;
    host_end = colon - 1;
  }
  parts.host = text::Middle(work, host_start, host_end - host_start + 1);
  return true;
}

text::Text ResolveLocation(std::string_view location, std::string_view current_url) {
  if (location.starts_with('/')) {
    UrlParts parts;
    SplitUrl(current_url, parts);
    return text::Join({parts.scheme, parts.host, ":", text::Decimal(parts.port), location});
  }
  if (IsAbsolute(location)) return text::Text(location);
  int last_slash = text::FindLast(current_url, "/");
  if (last_slash < 1) return text::Join({current_url, "/", location});
  return text::Join({text::Left(current_url, last_slash), location});
}

}  // namespace http
