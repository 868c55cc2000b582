// Merging one JSON tree into another.
//
// Members present on both sides merge member by member when both values are
// objects; in every other pairing the incoming value replaces the stored one
// in its place. Members only the incoming side has are appended when
// `add_missing` is set and skipped otherwise.
//
// Contract: `target` is changed in place; `incoming` is only read (what is
// taken from it is deep-copied), except that when `target` itself is replaced,
// `incoming` is put in its place with a reference added. Objects nested to
// any depth merge without recursion. Nothing throws.
#pragma once

#include "json/json_node.h"

namespace json {

// With both nodes objects: false when no incoming member merged (an empty
// incoming object, or every member skipped) or when a nested merge gave
// false, which stops the merge with the members before it merged. Otherwise,
// when `target` is a member of an object, `incoming` takes its place and the
// result is true; else false.
bool MergeNodes(JsonNode* target, JsonNode* incoming, bool add_missing);

}  // namespace json
