#pragma once

#include "device/card_probe.h"
#include "device/driver_protocol.h"
#include "driver/card_model.h"
#include "driver/graph_connection.h"
#include "driver/signal_source.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The card configuration: which simulated card sits in which slot and what its channels
// carry. The same text configures the daemon and the cards embedded in the program.
//
//   # comment
//   card SLOT kind KIND speed single|double|quad [unplugged]
//   signal SLOT BUS CHANNELS SOURCE [ARGS]
//   graph SLOT jack|pipewire [SERVER]
//   tap SLOT input|playback|output default | PORT... | NODE
//
// SLOT 0..5 (0..2 MADI, kind 7; 3..5 Kestrel, kinds 0..6). Quad speed only for kinds 2..5.
// BUS input|playback|output|all (or 0..2). CHANNELS N, N-M or all, numbered from 1 as the
// program names them (pair p holds channels 2p+1 and 2p+2; up to 64 MADI, 26 Kestrel).
// SOURCE silence | sine FREQ DBFS | noise DBFS | sweep [FROM TO SECONDS] |
//        burst [LENGTH [PERIOD]] | demo
// A card starts with demo on every channel; signal lines apply in order, the later wins.
// A graph line puts a live graph card (kind 7, slots 0..2) in the slot, its speed following
// the graph's rate; tap lines name what its buses meter: JACK ports channel by channel (at
// most 64), or one PipeWire node (a source, or a sink whose monitor it records).
namespace sim {

// Which channels a signal goes to; buses and channels from 0, bounds inclusive.
struct SignalTarget {
    int firstBus = 0;
    int lastBus = driver_protocol::kBuses - 1;
    int firstChannel = 0;
    int lastChannel = 63;
};

struct SignalAssignment {
    SignalTarget target;
    SignalSpec spec;
};

struct CardSetup {
    int kind = kMadiCardKind;
    Speed speed = Speed::Single;
    bool plugged = true;
    std::vector<SignalAssignment> assignments;
    std::optional<GraphSetup> graph; // a graph card instead of a simulated one
};

struct DriverConfig {
    std::array<std::optional<CardSetup>, driver_protocol::kCardSlots> cards;
};

// Fills `config` from the text; on an error returns false with "line N: what is wrong".
bool ParseDriverConfig(std::string_view text, DriverConfig& config, std::string& error);

// Why a card of this kind and speed cannot sit in this slot, or "" when it can.
std::string CardProblem(int slot, int kind, Speed speed);

// The cards the program serves itself when no driver runs: a MADI card and three Kestrel
// models with moving levels on every bus.
std::string_view EmbeddedConfigText();
DriverConfig EmbeddedConfig();

} // namespace sim
