// The two readers of JSON text: ParseText and ParseTextLooseKeys.
//
// Both are single-pass scanners over UTF-16 code units that keep an explicit
// stack of open containers, so nesting depth is limited only by memory. They
// accept standard JSON and more: strings in single quotes as well as double
// quotes, bare words (kept as Raw nodes) and, in ParseTextLooseKeys, member
// keys without quotes ({a:1, b : "x"}). A value becomes a node only when the
// character that ends it (",", "]" or "}") is met. Reading stops at the first
// zero unit.
//
// Contract: the readers write into `root`, which the caller owns. A non-empty
// text first clears the root; the first top-level "{" or "[" makes it an
// Object or an Array. Any result other than kOk leaves the root cleared, with
// the kind the scan last gave it. The empty text leaves the root as it was.
// Nothing throws; running out of memory gives kOutOfMemory or kAddFailed.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "json/json_node.h"

namespace json {

enum ReadResult : int32_t {
  kOk = 0,
  kAddFailed = -1,     // adding a node to its container failed
  kNoInput = -2,       // no root or no text
  kOutOfMemory = -3,   // making the stack or a node failed
  kMissingKey = -4,    // a member value, object or array has no key before it
  kUnbalanced = -5,    // a quote, ":", "," or value outside every container,
                       // or containers still open at the end
  kEmptyElement = -7,  // an array closes right after a "," with nothing between
  kColonInArray = -8,  // a ":" directly inside an array
};

ReadResult ParseText(JsonNode* root, std::u16string_view text, bool decode_unicode);
ReadResult ParseTextLooseKeys(JsonNode* root, std::u16string_view text, bool decode_unicode);

// The kind a bare value text stands for, exactly and case-sensitively: null,
// true and false; a number text is a Real when it holds ".", "e", "E" or a
// sign after its first unit and an Integer otherwise; anything else is Raw.
JsonKind ClassifyLiteral(std::u16string_view value);

// Resolves the backslash escapes \" \\ \/ \b \t \n \r \f, and with
// `decode_unicode` \uXXXX (one code unit each). Every other backslash stays
// together with the unit after it. Units produced by an escape are never
// read again. Appends to `out`.
void UnescapeText(std::u16string_view text, bool decode_unicode, std::u16string& out);

}  // namespace json
