// The line ends of multi-line edit boxes.
//
// A multi-line box stores every line end written or appended to it (CR LF, a
// lone CR or a lone LF) as CR LF. Whatever keeps such a box's text (the
// control model, or a front end that streams a box's text out instead of
// keeping it) stores it through these routines, so every copy of a box holds
// the same bytes.
//
// Contract: pure functions of their arguments, callable from any thread. The
// bytes are compared one by one: a CR or LF is a line end wherever it stands,
// also after a lead byte.
#pragma once

#include <string_view>

#include "app/text/text.h"

namespace toolkit {

// Appends `piece` to `out` with every line end written as CR LF.
// `ends_with_lone_cr` carries a CR that ended the previous append: an LF that
// starts this one belongs to it. Start with false; set it to false again when
// the box is replaced.
void AppendLines(text::Text& out, std::string_view piece, bool& ends_with_lone_cr);

// The text a multi-line box holds after being written `text`: `text` itself,
// unchanged and without a copy, when all its line ends are CR LF already.
text::Text WithCrLfLineEnds(text::Text text);

}  // namespace toolkit
