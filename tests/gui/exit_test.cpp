// Closing MainWindow ends the process with exit code 0, even while a job runs.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "app/toolkit/main_window_controls.h"
#include "gui/tool_main.h"
#include "platform/code_page.h"

namespace {

using namespace main_window;

// In the child: start a long extraction, close the window while it runs, and
// tell the parent through `report` whether the job was still running.
[[noreturn]] void RunToolAndCloseDuringAJob(int report) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  char name[] = "qxtxt";
  char* argv[] = {name, nullptr};
  gui::RunTool(1, argv, [report](gui::QtToolkit& tk) {
    std::string lines;
    for (int i = 0; i < 2000000; ++i) lines += "a----b----c----d\r\n";
    tk.WriteControlText(编辑框_提取_输入, lines);
    tk.RaiseEvent(按钮4);
    QTimer::singleShot(50, [&tk, report] {
      bool running = tk.ReadControlText(透明标签2) != platform::Utf8ToCp936("处理完成");
      (void)!write(report, running ? "R" : "D", 1);
      tk.Window()->close();
    });
  });
}

TEST(ToolExit, ClosingTheWindowEndsTheProcessWithCodeZeroWhileAJobRuns) {
  int pipe_ends[2];
  ASSERT_EQ(pipe(pipe_ends), 0);
  pid_t child = fork();
  if (child == 0) {
    close(pipe_ends[0]);
    RunToolAndCloseDuringAJob(pipe_ends[1]);
  }
  close(pipe_ends[1]);
  int status = 0;
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      FAIL() << "the process did not end after its window was closed";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  char state = 0;
  EXPECT_EQ(read(pipe_ends[0], &state, 1), 1);
  EXPECT_EQ(state, 'R') << "the job had already finished when the window closed";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
