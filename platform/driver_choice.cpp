#include "platform/driver_choice.h"

#include "device/card_probe.h"
#include "device/control_device.h"
#include "device/driver_protocol.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"
#include "platform/socket_transport.h"

namespace {

// The start-up probe may wait longer than a poll: missing a busy driver here would leave
// the program on its demo cards for the whole run.
constexpr std::chrono::milliseconds kStartupProbeDeadline{50};

bool AnySlotAnswers(DriverTransport& transport) {
    ControlDevice device(transport);
    for (int slot = 0; slot < driver_protocol::kCardSlots; ++slot) {
        DeviceName name;
        if (ProbeCard(device, name, slot, nullptr) != kRateNoCard)
            return true;
    }
    return false;
}

DriverChoice SocketChoice(const std::string& directory) {
    return {std::make_unique<SocketTransport>(directory), false, directory};
}

} // namespace

DriverChoice ChooseDriverTransport(const sim::DirectoryEnvironment& environment) {
    std::string directory = sim::ResolveDriverDirectory(environment);
    if (!environment.driverDir.empty())
        return SocketChoice(directory);
    SocketTransport probe(directory, kStartupProbeDeadline);
    if (AnySlotAnswers(probe))
        return SocketChoice(directory);
    return {std::make_unique<InProcessTransport>(sim::EmbeddedConfig()), true, ""};
}

DriverChoice ChooseDriverTransport() {
    return ChooseDriverTransport(sim::CurrentDirectoryEnvironment());
}
