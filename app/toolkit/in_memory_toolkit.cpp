#include "app/toolkit/in_memory_toolkit.h"

#include "app/toolkit/main_window_controls.h"
#include "platform/threads.h"

namespace toolkit {

InMemoryToolkit::InMemoryToolkit() : main_window_(std::make_unique<ControlModel>(main_window::Spec())) {}

InMemoryToolkit::~InMemoryToolkit() { WaitForWorkers(); }

ControlModel& InMemoryToolkit::Model(WindowId) { return *main_window_; }

void InMemoryToolkit::RaiseEvent(ControlId control, std::string_view argument) {
  if (!handler_) return;
  if (ModelOf(control).SpecOf(control).kind == ControlKind::kDropObject && !AcceptsDrops(control)) return;
  handler_(control, argument);
}

bool InMemoryToolkit::AcceptsDrops(ControlId drop_object) {
  std::lock_guard lock(mutex_);
  for (auto& [box, object] : drops_) {
    if (object == drop_object) return ModelOf(box).IsEnabled(box);
  }
  return false;
}

bool InMemoryToolkit::DropObjectOf(ControlId edit_box, ControlId* drop_object) {
  std::lock_guard lock(mutex_);
  for (auto& [box, object] : drops_) {
    if (box == edit_box) {
      *drop_object = object;
      return true;
    }
  }
  return false;
}

bool InMemoryToolkit::IsEnabled(ControlId control) { return ModelOf(control).IsEnabled(control); }

void InMemoryToolkit::WaitForWorkers() {
  std::unique_lock lock(mutex_);
  workers_done_.wait(lock, [this] { return running_workers_ == 0; });
}

std::string InMemoryToolkit::ClipboardText() {
  std::lock_guard lock(mutex_);
  return clipboard_;
}

std::vector<std::string> InMemoryToolkit::OpenedUrls() {
  std::lock_guard lock(mutex_);
  return opened_urls_;
}

std::string InMemoryToolkit::BrowserAddress(ControlId web_view) {
  std::lock_guard lock(mutex_);
  for (auto& [view, address] : browser_addresses_) {
    if (view == web_view) return address;
  }
  return {};
}

std::vector<std::string> InMemoryToolkit::MessageBoxesShown() {
  std::lock_guard lock(mutex_);
  return message_boxes_;
}

text::Text InMemoryToolkit::ReadControlText(ControlId control) { return ModelOf(control).ReadText(control); }

void InMemoryToolkit::WriteControlText(ControlId control, std::string_view text) {
  ModelOf(control).WriteText(control, text);
}

void InMemoryToolkit::SetControlEnabled(ControlId control, bool enabled) {
  ModelOf(control).SetEnabled(control, enabled);
}

bool InMemoryToolkit::IsTicked(ControlId control) { return ModelOf(control).IsTicked(control); }

void InMemoryToolkit::SetTicked(ControlId control, bool ticked) { ModelOf(control).SetTicked(control, ticked); }

void InMemoryToolkit::AppendEditText(ControlId control, std::string_view text) {
  ModelOf(control).AppendText(control, text);
}

TaggedControl InMemoryToolkit::FindControlByTag(WindowId window, int tag) {
  ControlModel& model = Model(window);
  auto lookup = model.FindByTag(tag);
  return {lookup.control, model.SpecOf(lookup.control).kind, lookup.found};
}

void InMemoryToolkit::SetClipboardText(std::string_view text) {
  std::lock_guard lock(mutex_);
  clipboard_ = text;
}

void InMemoryToolkit::OpenUrl(std::string_view text) {
  std::lock_guard lock(mutex_);
  opened_urls_.emplace_back(text);
}

int InMemoryToolkit::ShowMessageBox(std::string_view text, std::string_view caption) {
  std::lock_guard lock(mutex_);
  message_boxes_.push_back(std::string(caption) + ": " + std::string(text));
  return message_box_answer_;
}

void InMemoryToolkit::StartWorkerThread(std::function<void()> routine) {
  {
    std::lock_guard lock(mutex_);
    ++running_workers_;
  }
  platform::StartDetachedThread([this, routine = std::move(routine)] {
    routine();
    std::lock_guard lock(mutex_);
    if (--running_workers_ == 0) workers_done_.notify_all();
  });
}

bool InMemoryToolkit::RegisterFileDrop(ControlId drop_object, ControlId edit_box) {
  if (ModelOf(drop_object).SpecOf(drop_object).kind != ControlKind::kDropObject ||
      ModelOf(edit_box).SpecOf(edit_box).kind != ControlKind::kEditBox) {
    return false;
  }
  std::lock_guard lock(mutex_);
  drops_.emplace_back(edit_box, drop_object);
  return true;
}

void InMemoryToolkit::SetBrowserAddress(ControlId web_view, std::string_view address) {
  std::lock_guard lock(mutex_);
  for (auto& [view, current] : browser_addresses_) {
    if (view == web_view) {
      current = address;
      return;
    }
  }
  browser_addresses_.emplace_back(web_view, std::string(address));
}

}  // namespace toolkit
