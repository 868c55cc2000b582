#include "gui/tool_main.h"

#include <QApplication>

#include "app/main_window.h"
#include "app/process_state.h"
#include "gui/qt_setup.h"
#include "platform/process.h"

namespace gui {

void RunTool(int argc, char** argv, const std::function<void(QtToolkit&)>& started) {
  PrepareQtApplication();
  QApplication application(argc, argv);
  app::StartProcess();
  QtToolkit toolkit;
  toolkit.SetEventHandler([&toolkit](toolkit::ControlId control, std::string_view argument) {
    app::HandleMainWindowEvent(toolkit, control, argument);
  });
  toolkit.Show();
  app::OnMainWindowCreated(toolkit);
  if (started) started(toolkit);
  application.exec();
  // The exit routine runs on the way out; running jobs end with the process.
  platform::EndProcess(0);
}

}  // namespace gui
