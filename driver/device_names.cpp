#include "driver/device_names.h"

#include "device/card_probe.h"
#include "device/driver_protocol.h"

namespace sim {

namespace {
constexpr std::string_view kDevicePrefix = "\\\\.\\";
} // namespace

std::string SlotDeviceFile(int slot) {
    DeviceName name;
    if (!FormatDeviceName(slot, name))
        return "";
    return std::string(name.data() + kDevicePrefix.size());
}

int SlotForDeviceName(std::string_view deviceName) {
    for (int slot = 0; slot < driver_protocol::kCardSlots; ++slot) {
        DeviceName name;
        if (FormatDeviceName(slot, name) && deviceName == name.data())
            return slot;
    }
    return -1;
}

} // namespace sim
