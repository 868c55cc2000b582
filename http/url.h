// The URL rules of the HTTP request object: the scheme put in front of a bare
// address, the split of a URL into scheme, host, port and path, and the
// resolution of a redirect's Location against the URL that was requested.
//
// Texts are code page 936; positions inside are bytes. These are pure
// functions, callable from any thread; each returns a new value.
#pragma once

#include <string_view>

#include "app/text/text.h"

namespace http {

// `url` unchanged when it starts with "http://" or "https://" in any case and
// is at least 8 bytes long; otherwise "http://" + url (so "http://" alone
// gets a second prefix).
text::Text WithSchemeDefault(std::string_view url);

struct UrlParts {
  text::Text scheme = "http://";  // "http://" or "https://"
  text::Text host;
  int port = 80;
  text::Text path = "/";  // from the first "/" after the host to the end
};

// Splits `url` into `parts`. An empty url gives false and leaves `parts` as
// they are. A missing scheme is "http://", a missing path "/", a missing port
// 80 (443 for https). A port given as 10 or less, or not beginning with a
// digit, is 80 whatever the scheme.
bool SplitUrl(std::string_view url, UrlParts& parts);

// The Location text as a URL to open next: a root-relative location takes
// the scheme, host and port (always written out) of `current_url`; a
// relative one replaces what follows the last "/" of `current_url`; an
// absolute one ("http://" or "https://" in any case) stays as it is.
text::Text ResolveLocation(std::string_view location, std::string_view current_url);

}  // namespace http
