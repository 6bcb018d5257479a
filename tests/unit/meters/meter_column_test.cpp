#include "meters/meter_column.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

constexpr int32_t kTop = 30;

// A column whose bar spans rows kTop .. kTop + span (bottom exclusive: kTop + span + 1).
MeterColumn Column(bool compressed, double top, double switchLevel, double bottom,
                   int32_t span = 300, int32_t textHeight = 12) {
    MeterColumn column;
    column.bar = {10, kTop, 30, kTop + span + 1};
    column.textHeight = textHeight;
    SetColumnScale(column, compressed, top, switchLevel, bottom, span);
    return column;
}

TEST(LevelToOffset, LinearScaleOfSixtyDbOverThreeHundredPixels) {
    const MeterColumn c = Column(false, 0, -3, -60);
    EXPECT_DOUBLE_EQ(c.pixelsPerDb, -5);
    EXPECT_EQ(c.LevelToOffset(0), 0);
    EXPECT_EQ(c.LevelToOffset(-10), 50);
    EXPECT_EQ(c.LevelToOffset(-60), 300);
    EXPECT_EQ(c.LevelToOffset(1), -5);
    // Truncation toward zero on both sides of the top.
    EXPECT_EQ(c.LevelToOffset(-0.39), 1);
    EXPECT_EQ(c.LevelToOffset(0.39), -1);
    // A top below 0 dB shifts the whole scale.
    EXPECT_EQ(Column(false, -20, -23, -80).LevelToOffset(-30), 50);
}

TEST(LevelToOffset, CompressedScaleRunsFromZeroToTheLastRowOfItsSpan) {
    for (int32_t span : {100, 287, 300, 511}) {
        const MeterColumn c = Column(true, -20, -3, -50, span);
        EXPECT_EQ(c.topLevel, 0);
        EXPECT_EQ(c.bottomLevel, -64);
        EXPECT_EQ(c.LevelToOffset(0), 0) << span;
        EXPECT_NEAR(c.LevelToOffset(-64), span, 1) << span;
        EXPECT_EQ(c.LevelToOffset(-20), static_cast<int32_t>(146 * 0.22334671087070318 * span / 64))
            << span;
        // The segments get narrower toward the bottom.
        const int32_t upper = c.LevelToOffset(-10) - c.LevelToOffset(0);
        const int32_t lower = c.LevelToOffset(-60) - c.LevelToOffset(-50);
        EXPECT_GT(upper, 3 * lower) << span;
    }
    // Below -64 dB the scale goes on at weight 1.
    const MeterColumn c = Column(true, 0, -3, -60, 286);
    EXPECT_GT(c.LevelToOffset(-80), c.LevelToOffset(-64));
}

TEST(PlanBar, BarEndsOnTheRowOfItsLevelAndSplitsAtTheSwitchLevel) {
    const MeterColumn c = Column(false, 0, -20, -60);
    const BarRows rows = PlanBar(c, -10);
    EXPECT_EQ(rows.row, kTop + 50);
    EXPECT_EQ(rows.blackTop, kTop - 2);
    EXPECT_EQ(rows.warningTop, kTop + 51);
    EXPECT_EQ(rows.warningBottom, kTop + 100); // the switch row stays as it was
    EXPECT_EQ(rows.normalTop, kTop + 101);
    EXPECT_EQ(rows.normalBottom, kTop + 300); // up to B - 1
    // Below the switch level the whole bar is normal.
    const BarRows low = PlanBar(c, -40);
    EXPECT_EQ(low.warningTop, low.warningBottom);
    EXPECT_EQ(low.normalTop, kTop + 201);
}

struct SwitchCase {
    const char* what;
    double switchLevel;
    bool warning;
    bool normal;
};

class SwitchAtTheEnds : public testing::TestWithParam<SwitchCase> {};

TEST_P(SwitchAtTheEnds, OneColourFillsTheWholeBar) {
    const MeterColumn c = Column(false, -10, GetParam().switchLevel, -60);
    const BarRows rows = PlanBar(c, -10.5);
    EXPECT_EQ(rows.row, kTop + 3);
    EXPECT_EQ(rows.warningTop < rows.warningBottom, GetParam().warning);
    EXPECT_EQ(rows.normalTop < rows.normalBottom, GetParam().normal);
    const int32_t first = GetParam().warning ? rows.warningTop : rows.normalTop;
    const int32_t last = GetParam().warning ? rows.warningBottom : rows.normalBottom;
    EXPECT_EQ(first, rows.row + 1);
    EXPECT_EQ(last, c.bar.bottom - 1);
}

INSTANTIATE_TEST_SUITE_P(Switch, SwitchAtTheEnds,
                         testing::Values(SwitchCase{"AtTop", -10, false, true},
                                         SwitchCase{"AboveTop", 0, false, true},
                                         SwitchCase{"AtBottom", -60, true, false},
                                         SwitchCase{"BelowBottom", -80, true, false}),
                         [](const auto& info) { return info.param.what; });

TEST(PlanBar, LevelsBeyondTheScaleGiveFullAndEmptyBars) {
    const MeterColumn c = Column(false, 0, -3, -60);
    const BarRows over = PlanBar(c, 1);
    EXPECT_EQ(over.row, kTop);
    EXPECT_EQ(over.warningTop, kTop + 1);
    const BarRows silent = PlanBar(c, -600);
    EXPECT_EQ(silent.row, c.bar.bottom);
    EXPECT_EQ(silent.warningTop, silent.warningBottom);
    EXPECT_EQ(silent.normalTop, silent.normalBottom);
}

TEST(HoldMarker, HexagonAtTheHoldNoneBelowTheBottomAndTopRowAboveTheTop) {
    const MeterColumn c = Column(false, 0, -3, -60);
    const HoldMarker marker = PlanHoldMarker(c, -10);
    ASSERT_TRUE(marker.shown);
    EXPECT_FALSE(marker.warning);
    EXPECT_EQ(marker.row, kTop + 50);
    // w = 20 gives d = 4; h = 12 gives e = 2.
    const int32_t expected[6][2] = {{14, kTop + 48}, {26, kTop + 48}, {29, kTop + 50},
                                    {26, kTop + 52}, {14, kTop + 52}, {11, kTop + 50}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(marker.points[i][0], expected[i][0]) << i;
        EXPECT_EQ(marker.points[i][1], expected[i][1]) << i;
    }
    EXPECT_TRUE(PlanHoldMarker(c, -2).warning);
    EXPECT_EQ(PlanHoldMarker(c, 1).row, kTop);
    EXPECT_FALSE(PlanHoldMarker(c, -60.1).shown);
    EXPECT_TRUE(PlanHoldMarker(c, -60).shown);
    // Near the bottom the lower corners stop at the last bar row.
    EXPECT_EQ(PlanHoldMarker(c, -60).points[3][1], c.bar.bottom - 1);
}

struct ReadoutCase {
    double value;
    bool allowOver;
    const char* text;
};

class Readout : public testing::TestWithParam<ReadoutCase> {};

TEST_P(Readout, PrintsOverUnderflowOrOneDecimal) {
    char text[8];
    EXPECT_EQ(ReadoutText(GetParam().value, GetParam().allowOver, text), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Values, Readout,
    testing::Values(ReadoutCase{0.3, true, "OVR"}, ReadoutCase{0.3, false, "0.3"},
                    ReadoutCase{0.2, true, "0.2"}, ReadoutCase{1.0, true, "OVR"},
                    ReadoutCase{-150.0, true, "-150.0"}, ReadoutCase{-150.1, true, "UFL"},
                    ReadoutCase{-600, false, "UFL"}, ReadoutCase{-3.05, true, "-3.0"},
                    ReadoutCase{-0.04, true, "-0.0"}, ReadoutCase{1e300, false, "1000000"}));

TEST(ClearColumn, DisablesAndClearsLabelAndState) {
    MeterColumn c = Column(false, 0, -3, -60);
    c.enabled = 1;
    std::strcpy(c.numberLabel, "A1-1");
    std::strcpy(c.groupLabel, "ADAT 1");
    c.ballistics = {.meanSquare = 1, .peak = 1, .hold = 1, .holdTimeLeft = 1, .fscCount = 3};
    ClearColumn(c);
    EXPECT_EQ(c.enabled, 0);
    EXPECT_STREQ(c.numberLabel, "");
    EXPECT_EQ(c.ballistics.peak, 0);
    EXPECT_EQ(c.ballistics.hold, 0);
    EXPECT_EQ(c.ballistics.holdTimeLeft, 0);
    EXPECT_EQ(c.ballistics.meanSquare, 0);
    EXPECT_EQ(c.ballistics.fscCount, 0);
}

} // namespace
