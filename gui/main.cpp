// 穹溪文本处理工具: the window program.
#include <QApplication>

#include "app/main_window.h"
#include "app/process_state.h"
#include "gui/qt_setup.h"
#include "gui/qt_toolkit.h"
#include "platform/process.h"

int main(int argc, char** argv) {
  gui::PrepareQtApplication();
  QApplication application(argc, argv);
  app::StartProcess();
  gui::QtToolkit toolkit;
  toolkit.SetEventHandler([&toolkit](toolkit::ControlId control, std::string_view argument) {
    app::HandleMainWindowEvent(toolkit, control, argument);
  });
  toolkit.Show();
  app::OnMainWindowCreated(toolkit);
  application.exec();
  // Closing the window ends the process, together with any job still running.
  app::ReleaseProcessState();
  platform::EndProcess(0);
}
