#pragma once

#include "device/driver_protocol.h"
#include "driver/level_tap.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

// A live audio graph as the source of a card's levels: the setup a configuration gives, and
// one connection to the server as a backend makes it.
namespace sim {

enum class GraphBackend { Jack, PipeWire };

struct GraphSetup {
    GraphBackend backend = GraphBackend::Jack;
    // JACK: the server's name; PipeWire: the remote (socket) name. Empty for the default.
    std::string server;
    // JACK: per bus the ports it taps, channel by channel; empty for the physical ports. A
    // port that plays into a device (such as system:playback_1) stands for the ports that
    // feed it. PipeWire: per bus one node name; empty for the default source (input) or the
    // default sink's monitor (playback; output the same as playback).
    std::array<std::vector<std::string>, driver_protocol::kBuses> taps;
};

// "jack" or "pipewire".
const char* GraphBackendName(GraphBackend backend);

// One client of a running server with a tap per bus. Made on a supervising thread, read from
// any one thread at a time; the audio thread only touches the taps.
class GraphConnection {
public:
    virtual ~GraphConnection() = default;

    // False once the server went away or stopped serving this client.
    virtual bool Alive() const = 0;
    // The server's name as it tells it, else as the setup gives it (empty: the default).
    virtual std::string Server() const = 0;
    // The graph's sample rate.
    virtual int Rate() const = 0;
    // Whether the output bus shows what playback shows (no tap of its own): its tap stays
    // empty, and a read gives it playback's levels.
    virtual bool OutputShowsPlayback() const = 0;
    // Keeps the wiring as the setup asks while ports come and go (the supervising thread).
    virtual void Maintain() = 0;
    // "rate R period P" and a line per bus with what it taps.
    virtual std::string Describe() const = 0;

    LevelTap& Tap(int bus) { return *taps_[bus]; }

protected:
    GraphConnection() {
        for (auto& tap : taps_)
            tap = std::make_unique<LevelTap>(LevelTap::kMaxChannels);
    }

private:
    std::array<std::unique_ptr<LevelTap>, driver_protocol::kBuses> taps_;
};

// A connection to the server the setup names, or null when none answers. Never starts a
// server.
std::unique_ptr<GraphConnection> ConnectGraph(const GraphSetup& setup);

} // namespace sim
