// The window-toolkit operations that the jobs and commands rely on.
//
// Jobs and commands talk to windows only through this interface, so they run
// the same against the in-memory toolkit (tests, headless runs) and the Qt
// front end. Controls are addressed by ControlId (see control_spec.h).
//
// Threads: every operation may be called from the user-interface thread or
// from any worker thread. A call takes effect before it returns, so a later
// read on the same thread sees the new state. Texts are code page 936.
//
// Failure: operations report nothing. Reading a control that holds no text
// gives the empty text; operations on a control of the wrong kind do nothing
// (or give false / the empty text).
#pragma once

#include <functional>
#include <string_view>

#include "app/text/text.h"
#include "app/toolkit/control_spec.h"

namespace toolkit {

struct TaggedControl {
  ControlId control;
  ControlKind kind;
  bool found;
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;

  // The content of an edit box, or the caption of a label or window; always a
  // fresh copy. Multi-line boxes give their lines joined by CR LF.
  virtual text::Text ReadControlText(ControlId control) = 0;
  // Replaces the whole content or caption.
  virtual void WriteControlText(ControlId control, std::string_view text) = 0;
  // A disabled edit box can still be changed by the program.
  virtual void SetControlEnabled(ControlId control, bool enabled) = 0;
  // The ticked state of a check box, the selected state of a radio button.
  virtual bool IsTicked(ControlId control) = 0;
  virtual void SetTicked(ControlId control, bool ticked) = 0;
  // Appends at the end of an edit box, where the user sees the output grow.
  virtual void AppendEditText(ControlId control, std::string_view text) = 0;
  // The first control of the window whose tag, read as a decimal integer,
  // equals `tag`; found is false when none does.
  virtual TaggedControl FindControlByTag(WindowId window, int tag) = 0;
  // Replaces the clipboard content by the text; the result is not reported.
  virtual void SetClipboardText(std::string_view text) = 0;
  // Hands the text to the system shell to open.
  virtual void OpenUrl(std::string_view text) = 0;
  // A modal message box owned by MainWindow; gives the button pressed.
  virtual int ShowMessageBox(std::string_view text, std::string_view caption) = 0;
  // Runs the routine on a new detached thread; nobody waits for it.
  virtual void StartWorkerThread(std::function<void()> routine) = 0;
  // Makes `edit_box` accept dropped files and report each drop as the
  // got-file event of `drop_object`. Returns whether it worked.
  virtual bool RegisterFileDrop(ControlId drop_object, ControlId edit_box) = 0;
  // Navigates a web view.
  virtual void SetBrowserAddress(ControlId web_view, std::string_view address) = 0;
};

}  // namespace toolkit
