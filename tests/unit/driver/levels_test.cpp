#include "driver/channel_level.h"
#include "driver/signal_source.h"
#include "tests/unit/driver/sim_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

using simtest::Rack;

namespace {

constexpr int kInput = 0;
constexpr int kPlayback = 1;
constexpr int kOutput = 2;

TEST(PeakWord, CarriesMagnitudeAndSaturatedRun) {
    EXPECT_EQ(sim::EncodePeakWord(0.5, 0), 0x40000000u);
    EXPECT_EQ(sim::EncodePeakWord(0.5, 3), 0x40000003u);
    EXPECT_EQ(sim::EncodePeakWord(0.25, 40), 0x2000000Fu);
    // 2^31 would spill into bit 31 and read back as silence.
    EXPECT_EQ(sim::EncodePeakWord(1.0, 15), 0x7FFFFF0Fu);
    EXPECT_EQ(sim::EncodePeakWord(0, 0), 0u);
    EXPECT_EQ(sim::EncodePeakWord(1e-9, 0), 0u); // below bit 8
}

// The demo's level swings: every quarter of the turn folds right, also far from zero and
// below it (a wrong fold flips the sign of a whole quarter).
TEST(SinOfTurns, MatchesTheSineOverEveryQuarterAndFarOut) {
    for (double turns = -3.0; turns <= 3.0; turns += 0.001)
        ASSERT_NEAR(sim::SinOfTurns(turns), std::sin(2 * std::numbers::pi * turns), 1e-9) << turns;
    for (double turns : {1e4 + 0.25, 123456.75, -98765.125})
        EXPECT_NEAR(sim::SinOfTurns(turns), std::sin(2 * std::numbers::pi * turns), 1e-6) << turns;
}

TEST(MeanSquareWord, ScalesByTheLargestPeakMagnitude) {
    EXPECT_EQ(sim::EncodeMeanSquare(1.0), 2147483392LL * 2147483392LL);
    EXPECT_NEAR(sim::EncodeMeanSquare(0.125) * driver_protocol::kMeanSquareScale, 0.125, 1e-15);
    EXPECT_EQ(sim::EncodeMeanSquare(0), 0);
}

TEST(Levels, SineAtMinus6DbfsHasHalfPeakAndAnEighthPower) {
    Rack rack("card 0 kind 7 speed single\nsignal 0 all all sine 1000 -6\n");
    simtest::Reading r = rack.ReadAfter(0, 20).At(kPlayback, 17);
    EXPECT_NEAR(r.peak, 0.5, 0.005);
    EXPECT_NEAR(r.meanSquare, 0.125, 0.002);
    EXPECT_EQ(r.fsc, 0);
}

TEST(Levels, SilenceIsZero) {
    Rack rack("card 3 kind 0 speed single\nsignal 3 all all silence\n");
    simtest::Block block = rack.ReadAfter(3, 20);
    for (uint8_t byte : block.Bytes())
        ASSERT_EQ(byte, 0);
}

TEST(Levels, NoiseStaysBelowItsPeakLevel) {
    Rack rack("card 3 kind 0 speed single\nsignal 3 input 1 noise -6\n");
    simtest::Reading r = rack.ReadAfter(3, 100).At(kInput, 0);
    double amplitude = std::pow(10, -6 / 20.0);
    EXPECT_LE(r.peak, amplitude);
    EXPECT_GT(r.peak, 0.95 * amplitude);
    EXPECT_NEAR(r.meanSquare, amplitude * amplitude / 3, 0.01); // uniform noise
}

TEST(Levels, NoPeakBetweenTwoReadsIsLost) {
    // One 5-sample burst per second; 50 reads of 20 ms each must see it exactly once.
    Rack rack("card 0 kind 7 speed single\nsignal 0 all all silence\nsignal 0 input 1 burst 5 1\n");
    int seen = 0;
    for (int i = 0; i < 50; ++i) {
        simtest::Reading r = rack.ReadAfter(0, 20).At(kInput, 0);
        if (r.fsc > 0) {
            ++seen;
            EXPECT_EQ(r.fsc, 5);
            EXPECT_GT(r.peak, 0.9999);
        } else {
            EXPECT_NEAR(r.peak, 0.1, 0.001); // the -20 dBFS bed between bursts
        }
    }
    EXPECT_EQ(seen, 1);
}

struct BurstCase {
    int length;
    int expectedCount;
};

class BurstCount : public testing::TestWithParam<BurstCase> {};

TEST_P(BurstCount, CountsConsecutiveFullScaleSamplesUpTo15) {
    Rack rack("card 3 kind 2 speed single\nsignal 3 output 3 burst " +
              std::to_string(GetParam().length) + " 1\n");
    EXPECT_EQ(rack.ReadAfter(3, 20).At(kOutput, 2).fsc, GetParam().expectedCount);
}

INSTANTIATE_TEST_SUITE_P(Lengths, BurstCount,
                         testing::Values(BurstCase{1, 1}, BurstCase{7, 7}, BurstCase{15, 15},
                                         BurstCase{16, 15}, BurstCase{400, 15}));

TEST(Levels, FullScaleRunGoesOnAcrossARead) {
    // 10 full-scale samples starting at sample 0; the first read takes 6 of them (6 samples
    // at 44.1 kHz last 136 us), the second read sees the run grow to 10.
    Rack rack("card 3 kind 0 speed single\nsignal 3 input 1 burst 10 1\n");
    rack.clock.AdvanceNs(136100);
    EXPECT_EQ(rack.Read(3).At(kInput, 0).fsc, 6);
    EXPECT_EQ(rack.ReadAfter(3, 20).At(kInput, 0).fsc, 10);
    EXPECT_EQ(rack.ReadAfter(3, 20).At(kInput, 0).fsc, 0);
}

TEST(Levels, AClippedSineReportsFullScaleRuns) {
    Rack rack("card 0 kind 7 speed single\nsignal 0 input 1 sine 100 12\n");
    simtest::Reading r = rack.ReadAfter(0, 20).At(kInput, 0);
    EXPECT_EQ(r.fsc, 15);
    EXPECT_NEAR(r.peak, 0.99999988, 1e-7);
}

TEST(Levels, SplittingTheTimeIntoMoreReadsKeepsTheSamples) {
    Rack once("card 0 kind 7 speed single\nsignal 0 input all noise -3\n");
    Rack twice("card 0 kind 7 speed single\nsignal 0 input all noise -3\n");
    simtest::Reading whole = once.ReadAfter(0, 20).At(kInput, 9);
    simtest::Reading first = twice.ReadAfter(0, 10).At(kInput, 9);
    simtest::Reading second = twice.ReadAfter(0, 10).At(kInput, 9);
    EXPECT_EQ(whole.peak, std::max(first.peak, second.peak));
    EXPECT_NEAR(whole.meanSquare, (first.meanSquare + second.meanSquare) / 2, 1e-12);
}

TEST(Levels, SweepRisesThroughItsRange) {
    Rack rack("card 3 kind 0 speed single\nsignal 3 all all silence\n"
              "signal 3 input 1 sweep -40 0 4\n");
    double previous = 0;
    for (int second = 0; second < 4; ++second) {
        double peak = rack.ReadAfter(3, 1000).At(kInput, 0).peak;
        EXPECT_GT(peak, previous);
        previous = peak;
    }
    EXPECT_NEAR(20 * std::log10(previous), 0, 0.1);
    // The sweep starts again at -40 dBFS.
    EXPECT_LT(rack.ReadAfter(3, 100).At(kInput, 0).peak, 0.02);
}

TEST(Levels, DemoMovesEveryBusAndOversNowAndThen) {
    Rack rack("card 4 kind 1 speed single\nsignal 4 all all silence\nsignal 4 all 1 demo\n");
    int overs = 0;
    double first[3] = {};
    bool moved[3] = {};
    for (int read = 0; read < 30 * 50; ++read) {
        simtest::Block block = rack.ReadAfter(4, 20);
        for (int bus = 0; bus < 3; ++bus) {
            simtest::Reading r = block.At(bus, 0);
            EXPECT_GT(r.peak, 0);
            if (read == 0)
                first[bus] = r.peak;
            moved[bus] = moved[bus] || std::fabs(20 * std::log10(r.peak / first[bus])) > 10;
            overs += r.fsc > 0;
        }
    }
    for (int bus = 0; bus < 3; ++bus)
        EXPECT_TRUE(moved[bus]) << "bus " << bus;
    EXPECT_GE(overs, 3);     // every channel overs every 9..25 s
    EXPECT_LE(overs, 3 * 4); // ... but only now and then
}

TEST(Levels, ChannelsACardDoesNotCarryAtItsSpeedAreSilent) {
    // Kind 0 at double speed carries pairs 0, 1, 4, 5, 8, 9 and 12 of its 13.
    Rack rack("card 3 kind 0 speed double\nsignal 3 all all sine 440 -10\n");
    simtest::Block block = rack.ReadAfter(3, 20);
    const bool carried[13] = {1, 1, 0, 0, 1, 1, 0, 0, 1, 1, 0, 0, 1};
    for (int bus = 0; bus < 3; ++bus) {
        for (int ch = 0; ch < 26; ++ch)
            EXPECT_EQ(block.Silent(bus, ch), !carried[ch / 2]) << bus << "/" << ch;
    }
}

TEST(Levels, ReducedBusesOfTheBelloModelsCarryFewerChannels) {
    // Kind 3 at quad speed: 8 channels (pairs 4..7) except 4 on the output bus.
    Rack rack("card 5 kind 3 speed quad\nsignal 5 all all sine 440 -10\n");
    simtest::Block block = rack.ReadAfter(5, 20);
    for (int ch = 0; ch < 26; ++ch) {
        EXPECT_EQ(block.Silent(kInput, ch), ch < 8 || ch >= 16) << ch;
        EXPECT_EQ(block.Silent(kOutput, ch), ch < 8 || ch >= 12) << ch;
    }
}

TEST(Levels, MadiDoubleSpeedCarriesTheFirstHalf) {
    Rack rack("card 1 kind 7 speed double\nsignal 1 output all sine 440 -10\n");
    simtest::Block block = rack.ReadAfter(1, 20);
    for (int ch = 0; ch < 64; ++ch)
        EXPECT_EQ(block.Silent(kOutput, ch), ch >= 32) << ch;
}

struct QuiraCase {
    const char* speed;
    int logicalChannel; // from 1, as the configuration names it
    int driverPair;
};

class QuiraLayout : public testing::TestWithParam<QuiraCase> {};

TEST_P(QuiraLayout, DeliversEachPairAtItsDriverPair) {
    const QuiraCase& c = GetParam();
    Rack rack(std::string("card 3 kind 1 speed ") + c.speed +
              "\nsignal 3 all all silence\nsignal 3 playback " + std::to_string(c.logicalChannel) +
              " sine 1000 -6\n");
    simtest::Block block = rack.ReadAfter(3, 20);
    int side = (c.logicalChannel - 1) % 2;
    for (int ch = 0; ch < 26; ++ch)
        EXPECT_EQ(block.Silent(kPlayback, ch), ch != 2 * c.driverPair + side) << ch;
}

INSTANTIATE_TEST_SUITE_P(Pairs, QuiraLayout,
                         testing::Values(QuiraCase{"single", 7, 3}, QuiraCase{"single", 9, 8},
                                         QuiraCase{"single", 18, 12}, QuiraCase{"double", 4, 1},
                                         QuiraCase{"double", 5, 4}, QuiraCase{"double", 10, 8},
                                         QuiraCase{"double", 11, 9}, QuiraCase{"double", 17, 12}));

struct OffsetCase {
    const char* card;
    int slot;
    int lastChannel;
    uint32_t peakOffset;
    uint32_t meanSquareOffset;
};

class BlockOffsets : public testing::TestWithParam<OffsetCase> {};

TEST_P(BlockOffsets, WritesOneChannelAtItsByteOffsetsAndNothingElse) {
    const OffsetCase& c = GetParam();
    std::string slot = std::to_string(c.slot);
    Rack rack(std::string(c.card) + "\nsignal " + slot + " all all silence\nsignal " + slot +
              " output " + std::to_string(c.lastChannel) + " sine 1000 -20\n");
    simtest::Block block = rack.ReadAfter(c.slot, 20);
    const std::vector<uint8_t>& bytes = block.Bytes();
    for (uint32_t i = 0; i < bytes.size(); ++i) {
        bool peakByte = i >= c.peakOffset && i < c.peakOffset + 4;
        bool meanSquareByte = i >= c.meanSquareOffset && i < c.meanSquareOffset + 8;
        if (!peakByte && !meanSquareByte) {
            ASSERT_EQ(bytes[i], 0) << "byte " << i;
        }
    }
    EXPECT_NEAR(little_endian::ReadU32(&bytes[c.peakOffset]) * driver_protocol::kPeakScale, 0.1,
                0.001);
    EXPECT_NEAR(little_endian::ReadI64(&bytes[c.meanSquareOffset]) *
                    driver_protocol::kMeanSquareScale,
                0.005, 0.0002);
}

// The last output channel: MADI peaks at 1536 + 4 * 63, mean squares at 1800 + 8 * 63;
// Kestrel at 624 + 4 * 25 and 736 + 8 * 25.
INSTANTIATE_TEST_SUITE_P(
    Families, BlockOffsets,
    testing::Values(OffsetCase{"card 2 kind 7 speed single", 2, 64, 1788, 2304},
                    OffsetCase{"card 5 kind 0 speed single", 5, 26, 724, 936}));

} // namespace
