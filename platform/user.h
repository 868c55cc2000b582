// Who the process runs as.
//
// RunsAsRoot tells whether the process has administrator rights; any thread.
#pragma once

namespace platform {

bool RunsAsRoot();

}  // namespace platform
