// What the two text jobs share.
//
// Threads: any thread. Texts are code page 936.
#pragma once

#include <initializer_list>
#include <string_view>

#include "app/text/text.h"
#include "app/toolkit/toolkit.h"

namespace jobs {

// "处理完成", written into a job's status label when it ends.
const text::Text& DoneText();

void SetControlsEnabled(toolkit::Toolkit& toolkit, std::initializer_list<toolkit::ControlId> controls,
                        bool enabled);

// Appends the new separator, read from `separator_box` now, followed by
// `field`, as one piece. `piece` is scratch space kept between calls.
void AppendSeparated(toolkit::Toolkit& toolkit, toolkit::ControlId output, toolkit::ControlId separator_box,
                     std::string_view field, text::Text& piece);

}  // namespace jobs
