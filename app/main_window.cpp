#include "app/main_window.h"

#include "app/commands.h"
#include "app/process_state.h"
#include "app/toolkit/main_window_controls.h"
#include "platform/code_page.h"

namespace app {

using namespace main_window;

void OnMainWindowCreated(toolkit::Toolkit& toolkit) {
  ProcessState& process = Process();
  process.version = 1;
  process.appKey = "qxtxt";
  toolkit.WriteControlText(MainWindow, platform::Utf8ToCp936("穹溪文本处理工具 V") + text::Decimal(process.version));
  // The cloud client, the update check and the promotion texts join here,
  // before the drop registrations.
  RegisterFileDrops(toolkit);
}

void HandleMainWindowEvent(toolkit::Toolkit& toolkit, toolkit::ControlId control, std::string_view argument) {
  struct Binding {
    toolkit::ControlId control;
    void (*command)(toolkit::Toolkit&);
  };
  static constexpr Binding kCommands[] = {
      {按钮4, StartExtraction},     {按钮9, StartMerge},          {按钮5, RunExtractionSample},
      {按钮8, RunMergeSample},      {按钮3, ClearExtractInput},   {按钮1, ClearExtractOutput},
      {按钮2, CopyExtractOutput},   {按钮6, ClearMergeInput1},    {按钮7, ClearMergeInput2},
      {按钮11, ClearMergeOutput},   {按钮10, CopyMergeOutput},    {编辑框_提取_输入, ClearExtractStatus},
  };
  for (const Binding& binding : kCommands) {
    if (binding.control == control) return binding.command(toolkit);
  }
  LoadDroppedFileFor(toolkit, control, argument);
}

}  // namespace app
