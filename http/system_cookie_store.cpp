#include "http/system_cookie_store.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "http/url.h"

namespace http {
namespace {

struct StoredCookie {
  text::Text domain;  // lower case
  bool host_only = true;
  text::Text path;
  text::Text name;
  text::Text value;
};

struct Location {
  text::Text host;  // lower case
  text::Text path;  // without query or fragment
};

Location LocationOf(std::string_view url) {
  UrlParts parts;
  SplitUrl(url, parts);
  text::Text path = parts.path.substr(0, parts.path.find_first_of("?#"));
  return {text::LowerCase(parts.host), path};
}

// The directory of a request path: up to its last "/", or "/" itself.
text::Text DefaultPath(std::string_view path) {
  size_t last = path.rfind('/');
  return last == std::string_view::npos || last == 0 ? text::Text("/") : text::Text(path.substr(0, last));
}

bool DomainMatches(std::string_view domain, bool host_only, std::string_view host) {
  if (host == domain) return true;
  return !host_only && host.size() > domain.size() && host.ends_with(domain) &&
         host[host.size() - domain.size() - 1] == '.';
}

bool PathMatches(std::string_view cookie_path, std::string_view path) {
  if (!path.starts_with(cookie_path)) return false;
  return path.size() == cookie_path.size() || cookie_path.ends_with('/') || path[cookie_path.size()] == '/';
}

// The value, and the path and domain attributes, of a cookie's data text.
StoredCookie ParseData(std::string_view data, const Location& where) {
  text::Pieces pieces = text::Split(data, ";");
  StoredCookie cookie{where.host, true, DefaultPath(where.path), "", pieces.empty() ? "" : text::Text(pieces[0])};
  for (size_t i = 1; i < pieces.size(); ++i) {
    text::Text attribute = text::TrimBoth(pieces[i]);
    text::Text lower = text::LowerCase(attribute);
    if (lower.starts_with("path=") && attribute.size() > 5 && attribute[5] == '/') {
      cookie.path = attribute.substr(5);
    } else if (lower.starts_with("domain=") && lower.size() > 7) {
      text::Text domain = lower.substr(lower[7] == '.' ? 8 : 7);
      if (DomainMatches(domain, false, where.host)) {
        cookie.domain = domain;
        cookie.host_only = false;
      }
    }
  }
  return cookie;
}

class Store {
 public:
  void Set(std::string_view url, std::string_view name, std::string_view data) {
    StoredCookie cookie = ParseData(data, LocationOf(url));
    cookie.name = text::Text(name);
    std::lock_guard<std::mutex> lock(mutex_);
    auto same = std::find_if(cookies_.begin(), cookies_.end(), [&cookie](const StoredCookie& held) {
      return held.name == cookie.name && held.domain == cookie.domain && held.path == cookie.path;
    });
    if (data.empty()) {
      if (same != cookies_.end()) cookies_.erase(same);
    } else if (same != cookies_.end()) {
      *same = std::move(cookie);
    } else {
      cookies_.push_back(std::move(cookie));
    }
  }

  text::Text Header(std::string_view url) {
    Location where = LocationOf(url);
    text::Text header;
    std::lock_guard<std::mutex> lock(mutex_);
    for (const StoredCookie& cookie : cookies_) {
      if (!DomainMatches(cookie.domain, cookie.host_only, where.host) || !PathMatches(cookie.path, where.path)) continue;
      if (!header.empty()) header += "; ";
      header += text::Join({cookie.name, "=", cookie.value});
    }
    return header;
  }

 private:
  std::mutex mutex_;
  std::vector<StoredCookie> cookies_;
};

// Never destroyed: request objects on detached threads may still use it
// while the process ends.
Store& TheStore() {
  static Store* store = new Store;
  return *store;
}

}  // namespace

void SetSystemCookie(std::string_view url, std::string_view name, std::string_view data) {
  TheStore().Set(url, name, data);
}

text::Text SystemCookieHeader(std::string_view url) { return TheStore().Header(url); }

}  // namespace http
