// Media type of a file name, as the MIME script's getType() finds it.
//
// LookupMimeType("photo.JPG") is "image/jpeg"; only the last extension
// counts ("archive.tar.gz" is "application/gzip"); a directory part ending in
// "/" or "\" is passed over. A bare extension ("jpg", ".jpg") is looked up
// only without a directory part, and a name ending in "." has no type. The
// result is "" when there is no type, and also when the script engine fails.
//
// Any thread may call it. The result is a new text owned by the caller.
#pragma once

#include <string_view>

#include "app/text/text.h"

namespace http {

text::Text LookupMimeType(std::string_view name);

}  // namespace http
