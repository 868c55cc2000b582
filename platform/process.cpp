#include "platform/process.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace {

std::atomic<void (*)()> exit_routine{nullptr};

void RunExitRoutineOnce() {
  if (auto routine = exit_routine.exchange(nullptr)) routine();
}

}  // namespace

void RegisterExitRoutine(void (*routine)()) {
  exit_routine = routine;
  static const bool registered = [] {
    std::atexit(RunExitRoutineOnce);
    std::at_quick_exit(RunExitRoutineOnce);
    return true;
  }();
  (void)registered;
}

void EndProcess(int code) {
  std::fflush(nullptr);
  std::quick_exit(code);
}

}  // namespace platform
