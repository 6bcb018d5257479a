#pragma once

#include "driver/sim_driver.h"

#include <string>
#include <string_view>

// The text commands of the driver's control socket, one per line:
//   list
//   plug SLOT [KIND SPEED]
//   unplug SLOT
//   speed SLOT single|double|quad
//   signal SLOT BUS CHANNELS SOURCE [ARGS]
// The reply is the command's output followed by a last line "ok" or "error: WHY".
namespace sim {

std::string RunControlCommand(std::string_view line, SimDriver& driver);

// The last line of a reply tells whether the command succeeded.
bool ReplySucceeded(std::string_view reply);

} // namespace sim
