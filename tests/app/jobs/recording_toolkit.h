// An in-memory toolkit that lets a test act while a job reads the window and
// records what the job enables and disables.
#pragma once

#include <functional>
#include <utility>
#include <vector>

#include "app/toolkit/in_memory_toolkit.h"

namespace jobs {

class RecordingToolkit : public toolkit::InMemoryToolkit {
 public:
  // Called before every ReadControlText of the job.
  std::function<void(RecordingToolkit&, toolkit::ControlId)> on_read;
  std::vector<std::pair<toolkit::ControlId, bool>> enabled_changes;

  text::Text ReadControlText(toolkit::ControlId control) override {
    if (on_read) on_read(*this, control);
    return InMemoryToolkit::ReadControlText(control);
  }
  void SetControlEnabled(toolkit::ControlId control, bool enabled) override {
    enabled_changes.emplace_back(control, enabled);
    InMemoryToolkit::SetControlEnabled(control, enabled);
  }
};

}  // namespace jobs
