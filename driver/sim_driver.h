#pragma once

#include "driver/card_config.h"
#include "driver/graph_card.h"
#include "driver/sim_card.h"
#include "driver/sim_clock.h"

#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace sim {

// The six slots of simulated cards and the two control requests they answer. Safe to call
// from several threads: a read renders, takes and resets a card's levels under one lock.
// A slot may instead hold a graph card, which answers while its server serves it and cannot
// be unplugged or given signals by hand.
class SimDriver {
public:
    SimDriver(const DriverConfig& config, const SimClock& clock);

    // One control request to a slot, with the semantics of DriverTransport::Request: false
    // for an empty or unplugged slot, an unknown code or buffers too small for the reply;
    // `out` is written only on success.
    bool Request(int slot, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* bytesReturned);

    bool IsPlugged(int slot) const;

    // Control operations; on failure `error` says why.
    bool Plug(int slot, std::string& error);
    bool PlugNew(int slot, int kind, Speed speed, std::string& error);
    bool Unplug(int slot, std::string& error);
    bool SetSpeed(int slot, Speed speed, std::string& error);
    bool SetSignal(int slot, const SignalAssignment& assignment, std::string& error);

    // A line per slot, and per bus of a card the signals of its channels.
    std::string Describe() const;

private:
    struct Slot {
        std::optional<SimCard> card;
        bool plugged = false;
        std::unique_ptr<GraphCard> graph;
    };

    bool GraphRequest(int slot, uint32_t code, const void* in, uint32_t inSize, void* out,
                      uint32_t outSize, uint32_t* bytesReturned);

    bool IsPluggedLocked(int slot) const;
    SimCard* CardIn(int slot, std::string& error);
    std::string DescribeSlot(int slot) const;

    mutable std::mutex mutex_;
    const SimClock& clock_;
    std::array<Slot, driver_protocol::kCardSlots> slots_;
};

} // namespace sim
