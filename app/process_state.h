// The process-wide state of the tool and its start and end.
//
// The state lives from StartProcess to the exit routine, which releases it
// and writes nothing to disk. Only the user-interface thread touches it; the
// jobs share nothing with it.
#pragma once

#include "app/text/text.h"

namespace app {

struct ProcessState {
  int version = 0;
  text::Text appKey;
  text::Text promotionUrl;
};

ProcessState& Process();

// Start-up steps before MainWindow exists: makes the process-wide objects and
// arranges for the exit routine to run however the process ends normally.
void StartProcess();

// The exit routine: releases every process-wide value.
void ReleaseProcessState();

}  // namespace app
