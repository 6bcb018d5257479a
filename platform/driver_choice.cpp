#include "platform/driver_choice.h"

#include "device/card_probe.h"
#include "device/control_device.h"
#include "device/driver_protocol.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"
#include "driver/jack_graph.h"
#include "driver/pipewire_graph.h"
#include "platform/socket_transport.h"

#include <cstdio>
#include <cstdlib>

namespace {

// The start-up probe may wait longer than a poll: missing a busy driver here would leave
// the program on its demo cards for the whole run.
constexpr std::chrono::milliseconds kStartupProbeDeadline{50};
// A PipeWire server that accepts the connection but hangs delays the start no longer.
constexpr std::chrono::milliseconds kPipeWireProbeDeadline{300};

bool AnySlotAnswers(DriverTransport& transport) {
    ControlDevice device(transport);
    for (int slot = 0; slot < driver_protocol::kCardSlots; ++slot) {
        DeviceName name;
        if (ProbeCard(device, name, slot, nullptr) != kRateNoCard)
            return true;
    }
    return false;
}

// The embedded cards: slot 0 is a graph card when $LEVORA_GRAPH names a PipeWire or JACK
// server (used whether it runs yet or not) or, left unset, when the default PipeWire server
// or else the default JACK server answers now; "none" keeps the demo cards, as does no server.
sim::DriverConfig EmbeddedCards(const std::string& graph, const SocketTransport::Warn& warn) {
    sim::DriverConfig config = sim::EmbeddedConfig();
    sim::GraphSetup setup;
    if (graph == "none")
        return config;
    std::string_view backend = std::string_view(graph).substr(0, graph.find(':'));
    if (graph.empty()) {
        setup.backend = sim::GraphBackend::PipeWire;
        if (!sim::PipeWireServerAnswers(setup, kPipeWireProbeDeadline)) {
            setup.backend = sim::GraphBackend::Jack;
            if (!sim::JackServerAnswers(setup))
                return config;
        }
    } else if (backend == "jack" || backend == "pipewire") {
        setup.backend =
            backend == "pipewire" ? sim::GraphBackend::PipeWire : sim::GraphBackend::Jack;
        if (backend.size() < graph.size())
            setup.server = graph.substr(backend.size() + 1);
    } else {
        warn("LEVORA_GRAPH must be none, pipewire, pipewire:REMOTE, jack or jack:SERVER, not '" +
             graph + "'; metering the demo cards");
        return config;
    }
    config.cards[0].emplace();
    config.cards[0]->graph = setup;
    return config;
}

DriverChoice SocketChoice(const std::string& directory) {
    return {std::make_unique<SocketTransport>(directory), false, directory};
}

} // namespace

DriverChoice ChooseDriverTransport(const sim::DirectoryEnvironment& environment,
                                   const SocketTransport::Warn& warn, const std::string& graph) {
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
    return {std::make_unique<InProcessTransport>(EmbeddedCards(graph, warn)), true, ""};
}

DriverChoice ChooseDriverTransport() {
    const char* graph = std::getenv("LEVORA_GRAPH");
    return ChooseDriverTransport(
        sim::CurrentDirectoryEnvironment(),
        [](const std::string& text) { std::fprintf(stderr, "levora: %s\n", text.c_str()); },
        graph != nullptr ? graph : "");
}
