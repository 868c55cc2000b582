#include "app/jobs/job_status.h"

#include "platform/code_page.h"

namespace jobs {

const text::Text& DoneText() {
  static const text::Text done = platform::Utf8ToCp936("处理完成");
  return done;
}

void SetControlsEnabled(toolkit::Toolkit& toolkit, std::initializer_list<toolkit::ControlId> controls,
                        bool enabled) {
  for (auto control : controls) toolkit.SetControlEnabled(control, enabled);
}

}  // namespace jobs
