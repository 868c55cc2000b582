// Ending the process.
//
// The tool registers one exit routine that releases process-wide state.
// EndProcess runs it once and then ends the process with `code` at once,
// without waiting for detached workers and without running static
// destructors, which workers still running could otherwise trip over.
// RegisterExitRoutine also arranges for the routine to run when the process
// ends by returning from main or calling std::exit. Any thread may call
// either; the routine runs at most once.
#pragma once

namespace platform {

void RegisterExitRoutine(void (*routine)());
[[noreturn]] void EndProcess(int code);

}  // namespace platform
