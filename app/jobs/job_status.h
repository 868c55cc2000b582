// Texts and helpers the two text jobs share.
//
// Threads: any thread. Texts returned are code page 936.
#pragma once

#include <initializer_list>

#include "app/text/text.h"
#include "app/toolkit/toolkit.h"

namespace jobs {

// "处理完成", written into a job's status label when it ends.
const text::Text& DoneText();

void SetControlsEnabled(toolkit::Toolkit& toolkit, std::initializer_list<toolkit::ControlId> controls,
                        bool enabled);

}  // namespace jobs
