// The Qt 6 Widgets toolkit: MainWindow as real widgets over the control
// model of the in-memory toolkit.
//
// The model stays the source of truth. Workers change it directly; the
// widgets follow on the user-interface thread at screen rate, and long texts
// reach an edit box in slices of a few milliseconds, so that a job appending
// millions of pieces neither waits for the widgets nor stalls the event loop.
// User edits flow back: check boxes, radio buttons and single-line boxes at
// once, multi-line boxes when their text is next read.
//
// Threads: construct, Show and destroy on the user-interface thread (the one
// running QApplication). The toolkit operations may be called from any
// thread; those that need the screen (clipboard, shell, message box, web view)
// run on the user-interface thread and wait for it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <atomic>
#include <functional>
#include <vector>

#include "app/toolkit/in_memory_toolkit.h"

namespace gui {

class QtToolkit : public QObject, public toolkit::InMemoryToolkit, private toolkit::ModelView {
 public:
  QtToolkit();
  ~QtToolkit() override;

  QWidget* Window() const { return window_; }
  QWidget* Widget(toolkit::ControlId control) const { return widgets_[control.index]; }
  void Show();
  // Copies every pending model change into the widgets now, however long
  // that takes (tests, screenshots).
  void SyncAll();
  // Whether every widget shows its control's current state.
  bool WidgetsCaughtUp() const { return catching_up_.empty() && !sync_scheduled_; }

  void SetClipboardText(std::string_view text) override;
  void OpenUrl(std::string_view text) override;
  int ShowMessageBox(std::string_view text, std::string_view caption) override;
  bool RegisterFileDrop(toolkit::ControlId drop_object, toolkit::ControlId edit_box) override;
  void SetBrowserAddress(toolkit::ControlId web_view, std::string_view address) override;

 private:
  struct Shown;  // what an edit box's widget shows of the model's text

  void ControlChanged(toolkit::ControlId control) override;
  void SyncFromView(toolkit::ControlId control) override;

  void BuildWidgets();
  QWidget* MakeWidget(toolkit::ControlId control, QWidget* parent);
  void ConnectUserInput(toolkit::ControlId control, QWidget* widget);
  void Sync(bool without_budget);
  void Apply(toolkit::ControlId control);
  // Returns false when the box still has text to catch up with.
  bool CatchUpText(toolkit::ControlId control, bool without_budget);
  void RunOnUiThread(const std::function<void()>& work);
  toolkit::ControlModel& MainModel() { return Model(toolkit::WindowId::kMainWindow); }

  QWidget* window_ = nullptr;
  std::vector<QPointer<QWidget>> widgets_;
  std::vector<Shown> shown_;
  std::vector<toolkit::ControlId> catching_up_;
  std::atomic<bool> sync_scheduled_{false};
  bool applying_ = false;  // program changes under way: widget signals are not user input
};

}  // namespace gui
