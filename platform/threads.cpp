#include "platform/threads.h"

#include <system_error>
#include <thread>

namespace platform {

void StartDetachedThread(std::function<void()> routine) {
  try {
    std::thread(std::move(routine)).detach();
  } catch (const std::system_error&) {
    // Nobody learns whether a worker started.
  }
}

}  // namespace platform
