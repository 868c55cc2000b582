// Dotted paths into a JSON tree: params.app.ver, list[2], a[1].[0], a\.b.
//
// Segments are separated by "." and read left to right. A segment is a
// member name, a name with one index in square brackets, or an index alone.
// A backslash makes a following ".", "[", "]" or backslash an ordinary
// character (and is dropped); before any other character it stays. The index
// is read as a decimal integer: optional sign, digits up to the first other
// character, 0 without digits, saturating at the 32-bit range. Text after the
// index's "]" up to the next "." is ignored, so a[1][2] addresses a[1]. The
// empty path addresses the root; an empty segment is the member with the
// empty key.
//
// Contract: ResolvePath creates what is missing and converts what is in the
// way (a named step makes the node an Object, an indexed step an Array), and
// the tree keeps these changes; it yields null for a null root, a negative
// index, or when memory runs out. PathExists changes nothing. Both walk the
// path in one pass, each step one hash lookup or one index. They may throw
// std::bad_alloc only while copying a long segment name.
#pragma once

#include <string>
#include <string_view>

#include "json/json_node.h"

namespace json {

JsonNode* ResolvePath(JsonNode* root, std::u16string_view path);
// True when every step exists already: a name needs an Object holding that
// key, an index an Array with 0 <= index < count. The empty path is false.
bool PathExists(const JsonNode* root, std::u16string_view path);

}  // namespace json
