#include "device/driver_protocol.h"
#include "driver/level_tap.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <numbers>
#include <thread>
#include <vector>

namespace {

namespace dp = driver_protocol;

constexpr int kRate = 48000;
constexpr uint32_t kPeriod = 256;

double PeakDb(const sim::ChannelLevel& level) {
    return 20 * std::log10((level.peakWord & dp::kPeakMagnitudeMask) * dp::kPeakScale);
}
double MeanSquareDb(const sim::ChannelLevel& level) {
    return 10 * std::log10(double(level.meanSquare) * dp::kMeanSquareScale);
}
int Fsc(const sim::ChannelLevel& level) {
    return int(level.peakWord & dp::kFscMask);
}

struct Tone {
    int channel;
    double amplitude;
};

// Feeds `periods` periods of 1 kHz sines to the tones' channels, silence elsewhere.
void PlaySines(sim::LevelTap& tap, std::vector<Tone> tones, int periods) {
    std::vector<std::vector<float>> buffers(tones.size(), std::vector<float>(kPeriod));
    std::vector<const float*> channels(tap.Channels(), nullptr);
    for (int p = 0; p < periods; ++p) {
        for (size_t k = 0; k < tones.size(); ++k) {
            for (uint32_t i = 0; i < kPeriod; ++i) {
                double t = double(p * kPeriod + i) / kRate;
                buffers[k][i] =
                    float(tones[k].amplitude * std::sin(2 * std::numbers::pi * 1000 * t));
            }
            channels[tones[k].channel] = buffers[k].data();
        }
        tap.AddPeriod(channels, kPeriod);
    }
}

// One period of one channel with the given samples.
void PlayPeriod(sim::LevelTap& tap, std::vector<float> samples) {
    tap.Add(0, samples.data(), uint32_t(samples.size()));
    tap.EndPeriod();
}

std::vector<sim::ChannelLevel> Take(sim::LevelTap& tap) {
    std::vector<sim::ChannelLevel> levels(tap.Channels());
    tap.Take(levels);
    return levels;
}

TEST(LevelTap, SinesReadTheirExactPeakAndMeanSquareInDb) {
    sim::LevelTap tap(64);
    // 6 periods of 256 samples hold whole cycles of 1 kHz at 48 kHz.
    PlaySines(tap, {{2, 0.5}, {63, 0.1}}, 6);
    auto levels = Take(tap);
    EXPECT_NEAR(PeakDb(levels[2]), -6.0206, 0.0005);
    EXPECT_NEAR(MeanSquareDb(levels[2]), -9.0309, 0.0005);
    EXPECT_NEAR(PeakDb(levels[63]), -20.0, 0.0005);
    EXPECT_NEAR(MeanSquareDb(levels[63]), -23.0103, 0.0005);
    EXPECT_EQ(levels[0].peakWord, 0u);
    EXPECT_EQ(levels[0].meanSquare, 0);
    EXPECT_EQ(Fsc(levels[2]), 0);
}

TEST(LevelTap, ReadTakesAndResets) {
    sim::LevelTap tap(2);
    PlayPeriod(tap, {0.5f, -0.25f});
    auto first = Take(tap);
    EXPECT_EQ(first[0].peakWord, 0x40000000u);
    // (0.25 + 0.0625) / 2
    EXPECT_NEAR(first[0].meanSquare * dp::kMeanSquareScale, 0.15625, 1e-12);
    auto second = Take(tap);
    EXPECT_EQ(second[0].peakWord, 0u);
    EXPECT_EQ(second[0].meanSquare, 0);
}

TEST(LevelTap, NegativeFullScaleCountsAndPeakSaturates) {
    sim::LevelTap tap(1);
    PlayPeriod(tap, {-1.0f, -1.0f, 1.5f, 0.0f});
    auto levels = Take(tap);
    EXPECT_EQ(levels[0].peakWord, dp::kPeakMagnitudeMask | 3u);
}

TEST(LevelTap, FullScaleRunsCountAcrossPeriodsAndReads) {
    struct Case {
        const char* name;
        std::vector<std::vector<float>> periods;
        int fscAfterFirstRead; // a read after the first period
        int fscAfterAll;
    };
    const std::vector<Case> cases = {
        {"run split over two periods", {{0, 1, 1, 1}, {1, 1, 0}}, 3, 5},
        {"broken run starts again", {{1, 1, 0.5f, 1}, {0.2f, 1}}, 2, 1},
        {"run capped at 15", {std::vector<float>(10, 1.0f), std::vector<float>(10, -1.0f)}, 10, 15},
        {"just below full scale is no run", {{0.99999f, 0.99999f}}, 0, 0},
    };
    for (const Case& c : cases) {
        sim::LevelTap tap(1);
        PlayPeriod(tap, c.periods[0]);
        EXPECT_EQ(Fsc(Take(tap)[0]), c.fscAfterFirstRead) << c.name;
        for (size_t p = 1; p < c.periods.size(); ++p)
            PlayPeriod(tap, c.periods[p]);
        EXPECT_EQ(Fsc(Take(tap)[0]), c.fscAfterAll) << c.name;
    }
}

TEST(LevelTap, AFullRingKeepsAddingSoNoSampleIsLost) {
    sim::LevelTap tap(1, 4);
    std::vector<float> quiet(kPeriod, 0.25f);
    for (int p = 0; p < 20; ++p)
        PlayPeriod(tap, quiet);
    // The loudest sample arrives while the ring is full.
    PlayPeriod(tap, {0.75f});
    std::vector<sim::ChannelLevel> levels(1);
    // The periods that did not fit wait in the audio thread's block until the next period.
    EXPECT_EQ(tap.Take(levels), 4u * kPeriod);
    PlayPeriod(tap, {});
    EXPECT_EQ(tap.Take(levels), 16u * kPeriod + 1);
    EXPECT_EQ(levels[0].peakWord, sim::EncodePeakWord(0.75, 0));
}

TEST(LevelTap, ConcurrentReadsLoseNoFrameAndNoPeak) {
    constexpr int kPeriods = 20000;
    constexpr int kLoudPeriod = 12345;
    sim::LevelTap tap(8, 8);
    std::atomic<bool> done{false};
    std::thread audio([&] {
        std::vector<float> quiet(64, 0.1f);
        std::vector<float> loud(64, 0.1f);
        loud[17] = 0.9f;
        for (int p = 0; p < kPeriods; ++p) {
            for (int ch = 0; ch < 8; ++ch)
                tap.Add(ch, (p == kLoudPeriod ? loud : quiet).data(), 64);
            tap.EndPeriod();
        }
        done = true;
    });
    uint64_t frames = 0;
    uint32_t loudest = 0;
    std::vector<sim::ChannelLevel> levels(8);
    auto take = [&] {
        frames += tap.Take(levels);
        loudest = std::max(loudest, levels[5].peakWord);
    };
    while (!done)
        take();
    audio.join();
    // Periods that found the ring full wait in the audio thread's block for the next period.
    take();
    tap.EndPeriod();
    take();
    EXPECT_EQ(frames, uint64_t(kPeriods) * 64);
    EXPECT_EQ(loudest, sim::EncodePeakWord(0.9f, 0));
}

} // namespace
