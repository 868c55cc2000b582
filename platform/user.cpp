#include "platform/user.h"

#include <unistd.h>

namespace platform {

bool RunsAsRoot() { return geteuid() == 0; }

}  // namespace platform
