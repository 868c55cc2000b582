// What every program with Qt widgets does before it makes its QApplication.
//
// The web view's browser engine needs shared OpenGL contexts, and refuses to
// start inside its sandbox when the process runs as root, so the sandbox is
// switched off then. Call once, on the main thread, before QApplication.
#pragma once

namespace gui {

void PrepareQtApplication();

}  // namespace gui
