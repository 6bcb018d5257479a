#pragma once

#include "driver/daemon_options.h"

// `levora-driver ctl COMMAND`: sends the command to the control socket of the driver that
// serves the directory, prints its output and returns the exit code (0 when it succeeded).
int RunCtl(const sim::CtlOptions& options);
