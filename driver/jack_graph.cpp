#include "driver/jack_graph.h"

#include "driver/card_model.h"

#include <jack/jack.h>

#include <algorithm>
#include <atomic>
#include <mutex>

namespace sim {

namespace dp = driver_protocol;

namespace {

constexpr int kChannels = LevelTap::kMaxChannels;
constexpr int kOutput = 2;

// libjack reports every failed attempt to reach a server on stderr; a card that waits for
// its server retries twice a second.
void Quiet(const char*) {}

// A list that libjack allocated, freed with jack_free.
class PortList {
public:
    explicit PortList(const char** names) : names_(names) {}
    ~PortList() {
        if (names_ != nullptr)
            jack_free(names_);
    }
    PortList(const PortList&) = delete;
    PortList& operator=(const PortList&) = delete;

    std::vector<std::string> Strings() const {
        std::vector<std::string> strings;
        for (const char** name = names_; name != nullptr && *name != nullptr; ++name)
            strings.emplace_back(*name);
        return strings;
    }

private:
    const char** names_;
};

class JackConnection final : public GraphConnection {
public:
    JackConnection(jack_client_t* client, const GraphSetup& setup)
        : client_(client), setup_(setup), outputAsPlayback_(setup.taps[kOutput].empty()) {
        rate_ = int(jack_get_sample_rate(client_));
        for (int bus = 0; bus < BusesWithPorts(); ++bus) {
            for (int ch = 0; ch < kChannels; ++ch) {
                std::string name = std::string(BusName(bus)) + "_" + std::to_string(ch + 1);
                ports_[bus][ch] = jack_port_register(client_, name.c_str(), JACK_DEFAULT_AUDIO_TYPE,
                                                     JackPortIsInput | JackPortIsTerminal, 0);
            }
        }
        jack_set_process_callback(client_, &JackConnection::Process, this);
        jack_set_sample_rate_callback(client_, &JackConnection::RateChanged, this);
        jack_on_info_shutdown(client_, &JackConnection::ShutDown, this);
        jack_set_port_registration_callback(client_, &JackConnection::PortRegistered, this);
        jack_set_port_connect_callback(client_, &JackConnection::PortConnected, this);
    }

    ~JackConnection() override { jack_client_close(client_); }

    bool Start() {
        bool registered =
            std::all_of(ports_.begin(), ports_.begin() + BusesWithPorts(), [](const auto& bus) {
                return std::all_of(bus.begin(), bus.end(), [](jack_port_t* p) { return p; });
            });
        return registered && jack_activate(client_) == 0;
    }

    bool Alive() const override { return alive_.load(std::memory_order_acquire); }
    std::string Server() const override { return setup_.server; }
    bool OutputShowsPlayback() const override { return outputAsPlayback_; }
    int Rate() const override { return rate_.load(std::memory_order_relaxed); }

    void Maintain() override {
        if (!rewire_.exchange(false))
            return;
        std::array<std::vector<std::string>, dp::kBuses> tapped;
        for (int bus = 0; bus < BusesWithPorts(); ++bus) {
            tapped[bus] = TappedPorts(bus);
            for (int ch = 0; ch < kChannels; ++ch) {
                std::vector<std::string> wanted;
                if (ch < int(tapped[bus].size()))
                    wanted = SourcesOf(tapped[bus][ch]);
                Rewire(ports_[bus][ch], wanted);
            }
        }
        std::lock_guard lock(describeMutex_);
        tapped_ = std::move(tapped);
    }

    std::string Describe() const override {
        std::string text = "rate " + std::to_string(Rate()) + " period " +
                           std::to_string(jack_get_buffer_size(client_)) + "\n";
        std::lock_guard lock(describeMutex_);
        for (int bus = 0; bus < dp::kBuses; ++bus) {
            text += "  " + std::string(BusName(bus)) + ":";
            if (bus == kOutput && outputAsPlayback_) {
                text += " as playback\n";
                continue;
            }
            for (const std::string& port : tapped_[bus])
                text += " " + port;
            text += tapped_[bus].empty() ? " nothing\n" : "\n";
        }
        return text;
    }

private:
    // The audio thread: one period of every port into its bus's tap.
    static int Process(jack_nframes_t frames, void* arg) {
        auto* self = static_cast<JackConnection*>(arg);
        for (int bus = 0; bus < self->BusesWithPorts(); ++bus) {
            auto& buffers = self->buffers_[bus];
            for (int ch = 0; ch < kChannels; ++ch) {
                jack_port_t* port = self->ports_[bus][ch];
                buffers[ch] = jack_port_connected(port) > 0
                                  ? static_cast<const float*>(jack_port_get_buffer(port, frames))
                                  : nullptr;
            }
            self->Tap(bus).AddPeriod(buffers, frames);
        }
        return 0;
    }

    static int RateChanged(jack_nframes_t rate, void* arg) {
        static_cast<JackConnection*>(arg)->rate_.store(int(rate), std::memory_order_relaxed);
        return 0;
    }

    static void ShutDown(jack_status_t, const char*, void* arg) {
        static_cast<JackConnection*>(arg)->alive_.store(false, std::memory_order_release);
    }

    static void PortRegistered(jack_port_id_t, int, void* arg) {
        static_cast<JackConnection*>(arg)->rewire_.store(true);
    }

    static void PortConnected(jack_port_id_t, jack_port_id_t, int, void* arg) {
        static_cast<JackConnection*>(arg)->rewire_.store(true);
    }

    // Output, the last bus, has ports of its own only when the setup names what it taps: the
    // device's playback ports carry what it plays, so by default it shows the same as
    // playback without a second set of 64 ports.
    int BusesWithPorts() const { return outputAsPlayback_ ? kOutput : dp::kBuses; }

    // The ports a bus taps, channel by channel: the configured ones, else the physical
    // capture ports (input) or the physical playback ports (playback, output).
    std::vector<std::string> TappedPorts(int bus) const {
        std::vector<std::string> ports = setup_.taps[bus];
        if (ports.empty()) {
            unsigned long flags =
                JackPortIsPhysical | (bus == 0 ? JackPortIsOutput : JackPortIsInput);
            ports = PortList(jack_get_ports(client_, nullptr, JACK_DEFAULT_AUDIO_TYPE, flags))
                        .Strings();
        }
        if (ports.size() > size_t(kChannels))
            ports.resize(kChannels);
        return ports;
    }

    // What a channel that taps `name` listens to: the port itself when it carries a signal
    // out, the ports that feed it when it takes one in (a device's playback port).
    std::vector<std::string> SourcesOf(const std::string& name) const {
        jack_port_t* port = jack_port_by_name(client_, name.c_str());
        if (port == nullptr)
            return {};
        if (jack_port_flags(port) & JackPortIsOutput)
            return {name};
        std::vector<std::string> feeders =
            PortList(jack_port_get_all_connections(client_, port)).Strings();
        std::erase_if(feeders, [this](const std::string& feeder) {
            return jack_port_is_mine(client_, jack_port_by_name(client_, feeder.c_str()));
        });
        return feeders;
    }

    void Rewire(jack_port_t* port, const std::vector<std::string>& wanted) {
        const char* name = jack_port_name(port);
        std::vector<std::string> present = PortList(jack_port_get_connections(port)).Strings();
        for (const std::string& source : present) {
            if (std::find(wanted.begin(), wanted.end(), source) == wanted.end())
                jack_disconnect(client_, source.c_str(), name);
        }
        for (const std::string& source : wanted) {
            if (std::find(present.begin(), present.end(), source) == present.end())
                jack_connect(client_, source.c_str(), name);
        }
    }

    jack_client_t* client_;
    const GraphSetup setup_;
    const bool outputAsPlayback_;
    std::array<std::array<jack_port_t*, kChannels>, dp::kBuses> ports_{};
    std::array<std::array<const float*, kChannels>, dp::kBuses> buffers_{};
    std::atomic<bool> alive_{true};
    std::atomic<int> rate_{0};
    std::atomic<bool> rewire_{true};
    mutable std::mutex describeMutex_;
    std::array<std::vector<std::string>, dp::kBuses> tapped_;
};

jack_client_t* OpenClient(const GraphSetup& setup) {
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        jack_set_error_function(Quiet);
        jack_set_info_function(Quiet);
    });
    int options = JackNoStartServer;
    if (!setup.server.empty())
        options |= JackServerName;
    jack_status_t status{};
    return jack_client_open("levora", jack_options_t(options), &status, setup.server.c_str());
}

} // namespace

bool JackServerAnswers(const GraphSetup& setup) {
    jack_client_t* client = OpenClient(setup);
    if (client == nullptr)
        return false;
    jack_client_close(client);
    return true;
}

std::unique_ptr<GraphConnection> ConnectJack(const GraphSetup& setup) {
    jack_client_t* client = OpenClient(setup);
    if (client == nullptr)
        return nullptr;
    auto connection = std::make_unique<JackConnection>(client, setup);
    if (!connection->Start())
        return nullptr;
    return connection;
}

} // namespace sim
