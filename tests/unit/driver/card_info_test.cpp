#include "device/card_probe.h"
#include "device/control_device.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"
#include "tests/unit/driver/sim_test_support.h"

#include <gtest/gtest.h>

#include <string>

using sim::Speed;

namespace {

struct CardCase {
    int slot;
    int kind;
    Speed speed;
};

std::string CaseName(const testing::TestParamInfo<CardCase>& info) {
    return "slot" + std::to_string(info.param.slot) + "_kind" + std::to_string(info.param.kind) +
           "_" + std::string(sim::SpeedName(info.param.speed));
}

std::vector<CardCase> EveryReportableCard() {
    std::vector<CardCase> cases;
    for (int kind = 0; kind <= 7; ++kind) {
        for (Speed speed : {Speed::Single, Speed::Double, Speed::Quad}) {
            int slot = kind == 7 ? static_cast<int>(speed) : 3 + kind % 3;
            if (sim::CardProblem(slot, kind, speed).empty())
                cases.push_back({slot, kind, speed});
        }
    }
    return cases;
}

class CardInfoRoundTrip : public testing::TestWithParam<CardCase> {};

TEST_P(CardInfoRoundTrip, ProbeReadsBackTheConfiguredKindAndSpeed) {
    const CardCase& c = GetParam();
    sim::ManualSimClock clock;
    InProcessTransport transport(simtest::Config("card " + std::to_string(c.slot) + " kind " +
                                                 std::to_string(c.kind) + " speed " +
                                                 std::string(sim::SpeedName(c.speed))),
                                 clock);
    ControlDevice device(transport);
    DeviceName name;
    int32_t kind = -1;
    EXPECT_EQ(ProbeCard(device, name, c.slot, &kind), sim::RateCode(c.speed));
    EXPECT_EQ(kind, c.kind);
    for (int other = 0; other < 6; ++other) {
        if (other != c.slot) {
            EXPECT_EQ(ProbeCard(device, name, other, &kind), kRateNoCard) << other;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(AllModels, CardInfoRoundTrip, testing::ValuesIn(EveryReportableCard()),
                         CaseName);

TEST(CardInfo, EveryModelHasItsReportableSpeeds) {
    // 5 Kestrel models with single and double, 4 with all three, the MADI model with two.
    EXPECT_EQ(EveryReportableCard().size(), 3u * 2 + 4 * 3 + 2);
}

TEST(CardInfo, RefusesCardsTheProbeCouldNotClassify) {
    EXPECT_NE(sim::CardProblem(3, 7, Speed::Single), ""); // MADI model in a Kestrel slot
    EXPECT_NE(sim::CardProblem(2, 0, Speed::Single), ""); // Kestrel model in a MADI slot
    EXPECT_NE(sim::CardProblem(0, 7, Speed::Quad), "");   // MADI status has no quad bit
    EXPECT_NE(sim::CardProblem(4, 6, Speed::Quad), "");   // revision below 150
    EXPECT_NE(sim::CardProblem(6, 2, Speed::Single), ""); // no such slot
    EXPECT_EQ(sim::CardProblem(5, 5, Speed::Quad), "");
}

TEST(CardInfo, LeavesTheUninterpretedBytesZero) {
    uint8_t info[driver_protocol::kCardInfoSize];
    sim::EncodeCardInfo(4, 2, Speed::Quad, info);
    for (uint32_t i = 0; i < sizeof info; ++i) {
        bool interpreted = i < 8 || (i >= 52 && i < 60) || (i >= 68 && i < 72);
        if (!interpreted) {
            EXPECT_EQ(info[i], 0) << "byte " << i;
        }
    }
    EXPECT_EQ(little_endian::ReadU32(info + 52), driver_protocol::kStatusQuadSpeed);
}

} // namespace
