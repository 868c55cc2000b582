// Whether the process's standard error or output is a terminal, that is,
// whether a person watches it (progress is shown only then). Any thread.
#pragma once

namespace platform {

bool StandardErrorIsTerminal();
bool StandardOutputIsTerminal();

}  // namespace platform
