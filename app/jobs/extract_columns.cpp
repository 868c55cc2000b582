#include "app/jobs/extract_columns.h"

#include "app/jobs/job_status.h"
#include "app/toolkit/main_window_controls.h"

namespace jobs {

using namespace main_window;

void ExtractColumns(toolkit::Toolkit& toolkit) {
  const auto own_controls = {编辑框_提取_输入, 编辑框_提取_输出, 按钮4};
  SetControlsEnabled(toolkit, own_controls, false);
  toolkit.WriteControlText(编辑框_提取_输出, "");
  toolkit.WriteControlText(透明标签2, "");

  const text::Text source = toolkit.ReadControlText(编辑框_提取_输入);
  text::Pieces fields;
  text::Text piece;  // the new separator and a field, appended as one piece
  for (std::string_view line : text::SplitLines(source)) {
    text::SplitInto(line, toolkit.ReadControlText(编辑框_提取_分隔符旧), fields);
    for (size_t n = 1; n <= 10; ++n) {
      toolkit::TaggedControl box = toolkit.FindControlByTag(toolkit::WindowId::kMainWindow, int(n));
      if (fields.size() < n || !toolkit.IsTicked(box.control)) continue;
      if (n == 1) {
        toolkit.AppendEditText(编辑框_提取_输出, fields[0]);
      } else {
        piece = toolkit.ReadControlText(编辑框_提取_分隔符新);
        piece.append(fields[n - 1]);
        toolkit.AppendEditText(编辑框_提取_输出, piece);
      }
    }
    toolkit.AppendEditText(编辑框_提取_输出, text::kLineEnd);
  }

  SetControlsEnabled(toolkit, own_controls, true);
  toolkit.WriteControlText(透明标签2, DoneText());
}

}  // namespace jobs
