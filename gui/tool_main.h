// The window program from process start to process end.
//
// RunTool makes the application, MainWindow and its created event, runs the
// event loop until MainWindow is closed, and then ends the process with exit
// code 0 (together with any job still running): it never returns. Call it
// once, from main. `started` (may be empty) runs on the user-interface thread
// once the created event is done, before the event loop starts; the tests
// drive the window through it.
#pragma once

#include <functional>

#include "gui/qt_toolkit.h"

namespace gui {

[[noreturn]] void RunTool(int argc, char** argv, const std::function<void(QtToolkit&)>& started = {});

}  // namespace gui
