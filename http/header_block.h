// Taking a block of request header lines apart.
//
// A block is lines separated by CR LF, each a name, a colon and a value. The
// first name runs from the start of the block to its first colon; each
// further name runs from the start of its line to the next colon found from
// there, so a line without a colon is not a line of its own but the start of
// the next name. A value runs from after its colon to the line end (or the
// end of the block), leading spaces removed. Names are not trimmed.
//
// A pure function, callable from any thread; it returns a new value.
#pragma once

#include <string_view>
#include <vector>

#include "app/text/text.h"

namespace http {

struct HeaderLine {
  text::Text name;
  text::Text value;
};

std::vector<HeaderLine> SplitHeaderBlock(std::string_view block);

}  // namespace http
