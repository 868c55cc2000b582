// The two text jobs through the Qt toolkit with the real main window
// (offscreen), measuring how long the job takes and the longest stall of the
// window's event loop while it runs and while the widgets catch up.
//
//   qt_jobs_bench extract FILE          columns 1, 5 and 7
//   qt_jobs_bench merge FILE1 FILE2     the window's initial ticks
#include <QElapsedTimer>
#include <QTimer>
#include <cstdio>

#include "app/toolkit/main_window_controls.h"
#include "bench/support/bench_support.h"
#include "gui/tool_main.h"
#include "platform/code_page.h"

namespace {

using namespace main_window;

struct Inputs {
  std::vector<std::pair<toolkit::ControlId, std::string>> boxes;
  size_t bytes = 0, lines = 0;
};

// Runs the job from a click on `button` and reports once the widgets show
// its whole output; then closes the window, which ends the process.
void Run(gui::QtToolkit& tk, const char* name, const Inputs& inputs, toolkit::ControlId button,
         toolkit::ControlId status) {
  for (const auto& [box, text] : inputs.boxes) tk.WriteControlText(box, text);
  tk.SetTicked(选择框5, true);
  tk.SetTicked(选择框7, true);
  tk.SyncAll();  // the pasted input is on screen before the job starts

  const std::string done = platform::Utf8ToCp936("处理完成");
  struct Measure {
    QElapsedTimer clock, since_tick;
    qint64 job_ms = -1, longest_stall_during_job = 0, longest_stall = 0;
    QTimer ticker;
  };
  static Measure measure;  // lives until the process ends
  Measure* m = &measure;
  m->ticker.setInterval(1);
  QObject::connect(&m->ticker, &QTimer::timeout, [&tk, m, done, name, status, bytes = inputs.bytes, lines = inputs.lines] {
    qint64 gap = m->since_tick.restart();
    m->longest_stall = std::max(m->longest_stall, gap);
    if (m->job_ms < 0) {
      m->longest_stall_during_job = std::max(m->longest_stall_during_job, gap);
      if (tk.ReadControlText(status) == done) m->job_ms = m->clock.elapsed();
      return;
    }
    if (!tk.WidgetsCaughtUp()) return;
    char notes[160];
    std::snprintf(notes, sizeof notes, "longest stall %lld ms during the job, %lld ms until shown (%.1f s)",
                  static_cast<long long>(m->longest_stall_during_job), static_cast<long long>(m->longest_stall),
                  m->clock.elapsed() / 1000.0);
    bench::Report(name, bytes, lines, m->job_ms / 1000.0, bench::PeakResidentBytes(), notes);
    m->ticker.stop();
    tk.Window()->close();
  });
  // The user clicks "处理" once the window is on screen and idle.
  QTimer::singleShot(500, [&tk, m, button] {
    m->clock.start();
    m->since_tick.start();
    m->ticker.start();
    tk.RaiseEvent(button);
  });
}

Inputs Load(std::initializer_list<std::pair<toolkit::ControlId, const char*>> files) {
  Inputs inputs;
  for (const auto& [box, file] : files) {
    std::string text = bench::ReadFile(file);
    inputs.bytes += text.size();
    inputs.lines += text::LinesOf(text).Count();
    inputs.boxes.emplace_back(box, std::move(text));
  }
  return inputs;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "extract" && argc == 3) {
    Inputs inputs = Load({{编辑框_提取_输入, argv[2]}});
    gui::RunTool(argc, argv, [&](gui::QtToolkit& tk) { Run(tk, "extract, Qt toolkit", inputs, 按钮4, 透明标签2); });
  }
  if (mode == "merge" && argc == 4) {
    Inputs inputs = Load({{编辑框_合并_输入1, argv[2]}, {编辑框_合并_输入2, argv[3]}});
    gui::RunTool(argc, argv, [&](gui::QtToolkit& tk) { Run(tk, "merge, Qt toolkit", inputs, 按钮9, 透明标签9); });
  }
  std::fprintf(stderr, "usage: %s extract FILE | merge FILE1 FILE2\n", argv[0]);
  return 2;
}
