#pragma once

#include <string>
#include <string_view>

namespace sim {

// The file name of a slot's device, "madiOut32" for slot 1, "kestrelOut26" for slot 5.
std::string SlotDeviceFile(int slot);

// The slot whose Windows-style device name ("\\.\madiOut32") this is, or -1 for any other
// name: only the six device names are ever mapped to files.
int SlotForDeviceName(std::string_view deviceName);

} // namespace sim
