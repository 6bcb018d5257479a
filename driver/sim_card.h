#pragma once

#include "device/driver_protocol.h"
#include "driver/card_config.h"
#include "driver/card_layout.h"
#include "driver/channel_level.h"

#include <array>
#include <vector>

namespace sim {

// One simulated card in one slot: its model and speed, a signal per channel and bus, and the
// levels of the samples since the previous read. Samples are rendered when a read asks for
// them, for the time that passed since the previous one, so an idle card costs nothing.
class SimCard {
public:
    SimCard(int slot, const CardSetup& setup, int64_t nowNs);

    int Kind() const { return kind_; }
    Speed CurrentSpeed() const { return speed_; }
    const SignalSpec& Signal(int bus, int channel) const { return channels_[bus][channel].spec; }

    // Forgets the levels so far and renders from nowNs on (a card plugged in again).
    void Restart(int64_t nowNs);
    // A new speed changes the layout, so the card starts afresh.
    void SetSpeed(Speed speed, int64_t nowNs);
    // The samples until now keep the old signal.
    void SetSignal(const SignalTarget& target, const SignalSpec& spec, int64_t nowNs);

    void WriteCardInfo(uint8_t* out) const;
    // Writes the level block (the slot family's size): peak and mean square of every carried
    // channel since the previous read at its driver position, zero elsewhere.
    void ReadLevels(int64_t nowNs, uint8_t* out);

private:
    struct Channel {
        SignalSpec spec = Demo{};
        ChannelAccumulator accumulator;
    };

    void Assign(const SignalTarget& target, const SignalSpec& spec);
    void Render(int64_t nowNs);
    uint32_t Seed(int bus, int channel) const;

    int slot_;
    int kind_;
    Speed speed_;
    const driver_protocol::LevelBlockLayout& layout_;
    std::array<std::vector<CarriedPair>, driver_protocol::kBuses> carried_;
    std::array<std::array<Channel, 64>, driver_protocol::kBuses> channels_;
    int64_t startNs_ = 0;
    int64_t rendered_ = 0; // samples since startNs_ already added to the accumulators
};

} // namespace sim
