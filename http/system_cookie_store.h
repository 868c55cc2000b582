// The process-wide cookie store that HTTP request objects in cookie mode 2
// share: cookies kept per host and path, outliving every request object.
//
// SetCookie stores a cookie for a URL: `data` is its value, optionally
// followed by attributes ("value; path=/p; domain=example.com"). Without a
// path attribute the cookie belongs to the directory of the URL's path;
// without a domain it belongs to the URL's host only. Empty data removes the
// cookie of that name, host and path. Expiry is not kept: every cookie lives
// as long as the process.
//
// CookieHeader gives the cookies that apply to a URL — host equal (or within
// the cookie's domain), path within the cookie's path — as the text of a
// Cookie header: name=value entries joined by "; ", in the order they were
// first stored; "" when none applies.
//
// Any thread may call either at any time; a mutex guards the store.
#pragma once

#include <string_view>

#include "app/text/text.h"

namespace http {

void SetSystemCookie(std::string_view url, std::string_view name, std::string_view data);
text::Text SystemCookieHeader(std::string_view url);

}  // namespace http
