#include "platform/driver_choice.h"

#include "device/card_probe.h"
#include "device/control_device.h"
#include "device/driver_protocol.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"
#include "platform/socket_transport.h"

#include <cstdio>

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

DriverChoice ChooseDriverTransport(const sim::DirectoryEnvironment& environment,
                                   const SocketTransport::Warn& warn) {
    std::string directory = sim::ResolveDriverDirectory(environment);
    // The probe keeps quiet about an untrusted directory: the transport chosen tells that.
    SocketTransport probe(directory, kStartupProbeDeadline, [](const std::string&) {});
    const bool answers = AnySlotAnswers(probe);
    if (!environment.driverDir.empty()) {
        std::string why;
        if (!answers && sim::CheckDriverDirectory(directory, why) != sim::DirectoryState::Untrusted)
            warn("no card driver answers in " + directory +
                 " (LEVORA_DRIVER_DIR); the windows wait for levora-driver there");
        return SocketChoice(directory);
    }
    if (answers)
        return SocketChoice(directory);
    return {std::make_unique<InProcessTransport>(sim::EmbeddedConfig()), true, ""};
}

DriverChoice ChooseDriverTransport() {
    return ChooseDriverTransport(sim::CurrentDirectoryEnvironment(), [](const std::string& text) {
        std::fprintf(stderr, "levora: %s\n", text.c_str());
    });
}
