// The toolkit as a thread-safe model of the controls, without a screen.
//
// Used by tests and headless runs, and the base of the Qt toolkit, which adds
// widgets that mirror the same model. The platform services that have no
// meaning without a screen are recorded instead: the clipboard text, the
// opened addresses, the message boxes shown (answered with a preset button),
// the browser addresses.
//
// Events: the window's event handler (SetEventHandler) receives the events
// that RaiseEvent reports; a front end raises them for user actions, a test
// raises them in place of a user. Handlers run on the thread that raises.
//
// Threads: every member may be called from any thread. WaitForWorkers blocks
// until every worker started through StartWorkerThread has returned; the
// destructor waits for them too.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/toolkit/control_model.h"
#include "app/toolkit/toolkit.h"

namespace toolkit {

class InMemoryToolkit : public Toolkit {
 public:
  // (control, argument): the argument is the dropped path(s) of a got-file
  // event and empty otherwise.
  using EventHandler = std::function<void(ControlId, std::string_view)>;

  InMemoryToolkit();
  ~InMemoryToolkit() override;

  ControlModel& Model(WindowId window);

  void SetEventHandler(EventHandler handler) { handler_ = std::move(handler); }
  // Reports an event of `control` to the handler. Got-file events reach it
  // only for a drop object that RegisterFileDrop wired to a box, and only
  // while that box is enabled: a box that a running job has disabled refuses
  // drops.
  void RaiseEvent(ControlId control, std::string_view argument = {});
  bool AcceptsDrops(ControlId drop_object);
  // The drop object wired to `edit_box`, if any.
  bool DropObjectOf(ControlId edit_box, ControlId* drop_object);

  bool IsEnabled(ControlId control);
  void WaitForWorkers();

  std::string ClipboardText();
  std::vector<std::string> OpenedUrls();
  std::string BrowserAddress(ControlId web_view);
  void SetMessageBoxAnswer(int button) { message_box_answer_ = button; }
  std::vector<std::string> MessageBoxesShown();

  text::Text ReadControlText(ControlId control) override;
  void WriteControlText(ControlId control, std::string_view text) override;
  void SetControlEnabled(ControlId control, bool enabled) override;
  bool IsTicked(ControlId control) override;
  void SetTicked(ControlId control, bool ticked) override;
  void AppendEditText(ControlId control, std::string_view text) override;
  TaggedControl FindControlByTag(WindowId window, int tag) override;
  void SetClipboardText(std::string_view text) override;
  void OpenUrl(std::string_view text) override;
  int ShowMessageBox(std::string_view text, std::string_view caption) override;
  void StartWorkerThread(std::function<void()> routine) override;
  bool RegisterFileDrop(ControlId drop_object, ControlId edit_box) override;
  void SetBrowserAddress(ControlId web_view, std::string_view address) override;

 private:
  ControlModel& ModelOf(ControlId control) { return Model(control.window); }

  std::unique_ptr<ControlModel> main_window_;
  EventHandler handler_;

  std::mutex mutex_;  // guards the records below
  std::condition_variable workers_done_;
  int running_workers_ = 0;
  std::string clipboard_;
  std::vector<std::string> opened_urls_;
  std::vector<std::string> message_boxes_;
  std::vector<std::pair<ControlId, ControlId>> drops_;  // (edit box, drop object)
  std::vector<std::pair<ControlId, std::string>> browser_addresses_;
  int message_box_answer_ = 1;
};

}  // namespace toolkit
