#pragma once

#include "device/level_engine.h"
#include "tests/unit/device/fake_transport.h"

#include <array>
#include <memory>

// The load of a full program: six answering cards and 40 meter windows on them, with
// stereo, multi-channel and 64-channel global meters. Shared by the allocation test and the
// engine benchmark.
namespace six_card_rig {

// Counts and sums what it is handed; allocates nothing.
class SummingListener final : public LevelListener {
public:
    void OnLevelReport(const LevelReport& report, int32_t cookie) override {
        ++calls;
        sum += report.peakA + report.peakB + report.meanSquareA + report.meanSquareB + cookie;
    }
    long calls = 0;
    double sum = 0;
};

inline constexpr int kViews = 40;
inline constexpr int kReportsPerPoll = 200; // 124 global, 14 x 4 multi-channel, 20 stereo

struct Window {
    int32_t type;
    int32_t card;
    int32_t bus;
    int32_t pairOrGroup;
};

inline constexpr std::array<Window, kViews> kWindows = [] {
    std::array<Window, kViews> windows{};
    int n = 0;
    // Six global meters: the three MADI cards carry 64 channels a bus.
    for (int card = 0; card < 6; ++card)
        windows[n++] = {LevelEngine::kGlobalMeter, card, card % 3, 0};
    for (int i = 0; i < 14; ++i)
        windows[n++] = {LevelEngine::kMultiChannelMeter, i % 6, (i / 6) % 3,
                        i % 6 < 3 ? (3 * i) % 29 : i % 2};
    for (int i = 0; i < 20; ++i)
        windows[n++] = {LevelEngine::kStereoMeter, i % 6, i % 3, i % 6 < 3 ? i : i % 8};
    return windows;
}();

inline void PlugSixCards(fake::FakeTransport& transport) {
    using namespace driver_protocol;
    transport.AddCard(0, fake::MadiInfo());
    transport.AddCard(1, fake::MadiInfo(kStatusDoubleSpeed));
    transport.AddCard(2, fake::MadiInfo());
    transport.AddCard(3, fake::KestrelInfo(50));          // Zento
    transport.AddCard(4, fake::KestrelInfo(50, 0, 0, 1)); // Quira
    transport.AddCard(5, fake::KestrelInfo(150, 0, kOption28));
    for (int slot = 0; slot < kCardSlots; ++slot) {
        fake::LevelBlock block(LayoutForSlot(slot));
        for (int bus = 0; bus < kBuses; ++bus) {
            for (int channel = 0; channel < LayoutForSlot(slot).channelsPerBus; ++channel)
                block.Peak(bus, channel, 0x40000000u + 0x100u * channel)
                    .MeanSquare(bus, channel, 1 << 20);
        }
        transport.At(slot).levels.bytes = block.Bytes();
    }
}

inline void RegisterWindows(LevelEngine& engine, std::array<SummingListener, kViews>& views) {
    for (int i = 0; i < kViews; ++i) {
        const Window& w = kWindows[i];
        ChannelSelection selection{.CardNumber = w.card,
                                   .ChanNumber = w.pairOrGroup,
                                   .GroupNumber = w.pairOrGroup,
                                   .BusType = w.bus};
        engine.RegisterView(w.type, selection, &views[i]);
    }
}

} // namespace six_card_rig
