// The behaviour of MainWindow: its created event and its event handler.
//
// Both toolkits create the window from main_window::Spec(); the front end
// then calls OnMainWindowCreated once, on the user-interface thread, before
// the window takes input, and hands every control event to
// HandleMainWindowEvent on that thread.
#pragma once

#include <string_view>

#include "app/toolkit/toolkit.h"

namespace app {

void OnMainWindowCreated(toolkit::Toolkit& toolkit);

// `argument` is the dropped path(s) of a got-file event, empty otherwise.
void HandleMainWindowEvent(toolkit::Toolkit& toolkit, toolkit::ControlId control, std::string_view argument);

}  // namespace app
