// The two text jobs through the Qt toolkit with the real main window
// (offscreen), measuring how long the job takes and the longest stall of the
// window's event loop while it runs and while the widgets catch up.
//
//   qt_jobs_bench extract FILE          columns 1, 5 and 7
//   qt_jobs_bench merge FILE1 FILE2     the window's initial ticks
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "app/main_window.h"
#include "app/process_state.h"
#include "app/toolkit/main_window_controls.h"
#include "bench/support/bench_support.h"
#include "gui/qt_setup.h"
#include "gui/qt_toolkit.h"
#include "platform/code_page.h"

namespace {

using namespace main_window;

struct Inputs {
  std::vector<std::pair<toolkit::ControlId, std::string>> boxes;
  size_t bytes = 0, lines = 0;
};

int Run(const char* name, const Inputs& inputs, toolkit::ControlId button, toolkit::ControlId status) {
  gui::QtToolkit tk;
  tk.SetEventHandler([&tk](toolkit::ControlId control, std::string_view argument) {
    app::HandleMainWindowEvent(tk, control, argument);
  });
  tk.Show();
  app::OnMainWindowCreated(tk);
  for (const auto& [box, text] : inputs.boxes) tk.WriteControlText(box, text);
  tk.SetTicked(选择框5, true);
  tk.SetTicked(选择框7, true);
  tk.SyncAll();  // the pasted input is on screen before the job starts

  const std::string done = platform::Utf8ToCp936("处理完成");
  QElapsedTimer clock, since_tick;
  qint64 job_ms = -1, longest_stall_during_job = 0, longest_stall = 0;
  QTimer ticker;
  ticker.setInterval(1);
  QObject::connect(&ticker, &QTimer::timeout, [&] {
    qint64 gap = since_tick.restart();
    longest_stall = std::max(longest_stall, gap);
    if (job_ms < 0) {
      longest_stall_during_job = std::max(longest_stall_during_job, gap);
      if (tk.ReadControlText(status) == done) job_ms = clock.elapsed();
    } else if (tk.WidgetsCaughtUp()) {
      QApplication::quit();
    }
  });
  clock.start();
  since_tick.start();
  ticker.start();
  tk.RaiseEvent(button);  // the user clicks "处理"
  QApplication::exec();
  double catch_up_seconds = clock.elapsed() / 1000.0;
  char notes[160];
  std::snprintf(notes, sizeof notes, "longest stall %lld ms during the job, %lld ms until shown (%.1f s)",
                static_cast<long long>(longest_stall_during_job), static_cast<long long>(longest_stall),
                catch_up_seconds);
  bench::Report(name, inputs.bytes, inputs.lines, job_ms / 1000.0, bench::PeakResidentBytes(), notes);
  tk.WaitForWorkers();
  return 0;
}

Inputs Load(std::initializer_list<std::pair<toolkit::ControlId, const char*>> files) {
  Inputs inputs;
  for (const auto& [box, file] : files) {
    std::string text = bench::ReadFile(file);
    inputs.bytes += text.size();
    inputs.lines += text::SplitLines(text).size();
    inputs.boxes.emplace_back(box, std::move(text));
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  gui::PrepareQtApplication();
  QApplication application(argc, argv);
  app::StartProcess();
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "extract" && argc == 3) {
    return Run("extract, Qt toolkit", Load({{编辑框_提取_输入, argv[2]}}), 按钮4, 透明标签2);
  }
  if (mode == "merge" && argc == 4) {
    return Run("merge, Qt toolkit", Load({{编辑框_合并_输入1, argv[2]}, {编辑框_合并_输入2, argv[3]}}), 按钮9, 透明标签9);
  }
  std::fprintf(stderr, "usage: %s extract FILE | merge FILE1 FILE2\n", argv[0]);
  return 2;
}
