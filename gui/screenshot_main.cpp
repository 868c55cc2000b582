// Renders each page of MainWindow to a PNG file, without a display:
//   qxtxt-screenshot OUTPUT_DIR
// The window shows the state after its created event and both samples.
#include <QApplication>
#include <QDir>
#include <QPixmap>
#include <QTabWidget>
#include <cstdio>

#include "app/commands.h"
#include "app/main_window.h"
#include "app/process_state.h"
#include "app/toolkit/main_window_controls.h"
#include "gui/qt_setup.h"
#include "gui/qt_toolkit.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  gui::PrepareQtApplication();
  QApplication application(argc, argv);
  app::StartProcess();
  gui::QtToolkit toolkit;
  toolkit.SetEventHandler([&toolkit](toolkit::ControlId control, std::string_view argument) {
    app::HandleMainWindowEvent(toolkit, control, argument);
  });
  toolkit.Show();
  app::OnMainWindowCreated(toolkit);
  app::RunExtractionSample(toolkit);
  app::RunMergeSample(toolkit);
  toolkit.WaitForWorkers();
  toolkit.SyncAll();

  QDir out(QString::fromLocal8Bit(argv[1]));
  out.mkpath(QStringLiteral("."));
  auto* tabs = static_cast<QTabWidget*>(toolkit.Widget(main_window::选择夹1));
  for (int page = 0; page < tabs->count(); ++page) {
    tabs->setCurrentIndex(page);
    QApplication::processEvents();
    QString file = out.filePath(QStringLiteral("page-%1.png").arg(page + 1));
    if (!toolkit.Window()->grab().save(file)) {
      std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
      return 1;
    }
    std::printf("%s\n", file.toLocal8Bit().constData());
  }
  return 0;
}
