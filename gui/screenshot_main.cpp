// Renders each page of MainWindow to a PNG file, without a display:
//   qxtxt-screenshot OUTPUT_DIR
// The window shows the state after its created event and both samples.
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTimer>
#include <cstdio>

#include "app/commands.h"
#include "app/toolkit/main_window_controls.h"
#include "gui/tool_main.h"
#include "platform/process.h"

namespace {

void SavePages(gui::QtToolkit& toolkit, const QDir& out) {
  app::RunExtractionSample(toolkit);
  app::RunMergeSample(toolkit);
  toolkit.WaitForWorkers();
  toolkit.SyncAll();
  out.mkpath(QStringLiteral("."));
  auto* tabs = static_cast<QTabWidget*>(toolkit.Widget(main_window::选择夹1));
  for (int page = 0; page < tabs->count(); ++page) {
    tabs->setCurrentIndex(page);
    QApplication::processEvents();
    QString file = out.filePath(QStringLiteral("page-%1.png").arg(page + 1));
    if (!toolkit.Window()->grab().save(file)) {
      std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
      platform::EndProcess(1);
    }
    std::printf("%s\n", file.toLocal8Bit().constData());
  }
  // The event loop has not started yet: close the window from inside it.
  QTimer::singleShot(0, toolkit.Window(), &QWidget::close);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  QDir out(QString::fromLocal8Bit(argv[1]));
  gui::RunTool(argc, argv, [&out](gui::QtToolkit& toolkit) { SavePages(toolkit, out); });
}
