// Reading cookies and the redirect target out of a response's header text
// (the lines as the request object returns them, each ended by CR LF).
//
// Header names are matched in any case. These are pure functions, callable
// from any thread; each returns a new value.
#pragma once

#include <string_view>
#include <vector>

#include "app/text/text.h"

namespace http {

// The cookie pairs of every Set-Cookie header in order: the text after the
// colon up to the first ";" or the line end, leading spaces removed. The
// attributes are dropped. A header with no CR LF after it ends the scan.
std::vector<text::Text> SetCookiePairs(std::string_view headers);

// A pair ending in "=deleted", "=DELETED" or "=Deleted" (only these forms)
// asks for the cookie to be removed.
bool IsDeletionMarker(std::string_view pair);

// The value of cookie `name` in the first Set-Cookie header that sets it
// (with one space or none after the colon), up to ";" or the line end; "" when
// there is none.
text::Text ResponseCookieValue(std::string_view headers, std::string_view name);

// The value of the first header named Location, trimmed; "" when there is
// none or no CR LF follows it.
text::Text LocationHeader(std::string_view headers);

}  // namespace http
