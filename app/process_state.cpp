#include "app/process_state.h"

#include "platform/process.h"

namespace app {

ProcessState& Process() {
  static ProcessState state;
  return state;
}

void StartProcess() {
  Process() = ProcessState{};
  platform::RegisterExitRoutine(ReleaseProcessState);
}

void ReleaseProcessState() { Process() = ProcessState{}; }

}  // namespace app
