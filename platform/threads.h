// Detached worker threads.
//
// StartDetachedThread runs `routine` on a new thread that nobody joins or
// waits for; it returns as soon as the thread is started. Failure to start a
// thread is not reported (the routine then simply does not run). Any thread
// may call it.
#pragma once

#include <functional>

namespace platform {

void StartDetachedThread(std::function<void()> routine);

}  // namespace platform
