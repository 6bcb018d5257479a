#include "driver/sim_card.h"

#include "driver/little_endian_write.h"

#include <cstring>

namespace sim {

namespace dp = driver_protocol;

namespace {

constexpr int64_t kNsPerSecond = 1000000000;

int64_t SamplesIn(int64_t ns, int rate) {
    return ns / kNsPerSecond * rate + ns % kNsPerSecond * rate / kNsPerSecond;
}

} // namespace

SimCard::SimCard(int slot, const CardSetup& setup, int64_t nowNs)
    : slot_(slot), kind_(setup.kind), speed_(setup.speed), layout_(dp::LayoutForSlot(slot)) {
    Restart(nowNs);
    for (const SignalAssignment& a : setup.assignments)
        Assign(a.target, a.spec);
}

void SimCard::SetSpeed(Speed speed, int64_t nowNs) {
    speed_ = speed;
    Restart(nowNs);
}

void SimCard::SetSignal(const SignalTarget& target, const SignalSpec& spec, int64_t nowNs) {
    Render(nowNs);
    Assign(target, spec);
}

void SimCard::Assign(const SignalTarget& target, const SignalSpec& spec) {
    for (int bus = target.firstBus; bus <= target.lastBus; ++bus) {
        for (int ch = target.firstChannel; ch <= target.lastChannel; ++ch)
            channels_[bus][ch].spec = spec;
    }
}

void SimCard::WriteCardInfo(uint8_t* out) const {
    EncodeCardInfo(slot_, kind_, speed_, out);
}

void SimCard::ReadLevels(int64_t nowNs, uint8_t* out) {
    Render(nowNs);
    std::memset(out, 0, layout_.size);
    for (int bus = 0; bus < dp::kBuses; ++bus) {
        for (const CarriedPair& pair : carried_[bus]) {
            for (int side = 0; side < 2; ++side) {
                ChannelLevel level = channels_[bus][2 * pair.logical + side].accumulator.Take();
                int driverChannel = 2 * pair.driver + side;
                little_endian::WriteU32(out + layout_.peaks[bus] + 4 * driverChannel,
                                        level.peakWord);
                little_endian::WriteU64(out + layout_.meanSquares[bus] + 8 * driverChannel,
                                        static_cast<uint64_t>(level.meanSquare));
            }
        }
    }
}

void SimCard::Restart(int64_t nowNs) {
    for (int bus = 0; bus < dp::kBuses; ++bus) {
        carried_[bus] = CarriedPairs(kind_, speed_, bus);
        for (Channel& channel : channels_[bus])
            channel.accumulator.Reset();
    }
    startNs_ = nowNs;
    rendered_ = 0;
}

void SimCard::Render(int64_t nowNs) {
    int rate = SampleRate(speed_);
    int64_t due = SamplesIn(nowNs - startNs_, rate);
    // A reader that comes back after a long pause gets the last second, not the whole pause.
    if (due - rendered_ > rate)
        rendered_ = due - rate;
    int64_t count = due - rendered_;
    if (count <= 0)
        return;
    for (int bus = 0; bus < dp::kBuses; ++bus) {
        for (const CarriedPair& pair : carried_[bus]) {
            for (int ch = 2 * pair.logical; ch < 2 * pair.logical + 2; ++ch) {
                Channel& channel = channels_[bus][ch];
                RenderSignal(channel.spec, Seed(bus, ch), rendered_, count, rate,
                             channel.accumulator);
            }
        }
    }
    rendered_ = due;
}

uint32_t SimCard::Seed(int bus, int channel) const {
    return static_cast<uint32_t>(slot_ << 16 | bus << 8 | channel);
}

} // namespace sim
