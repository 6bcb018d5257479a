#include "meters/meter_scale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr int32_t kTop = 40;
constexpr int32_t kCenter = 100;
constexpr int32_t kPitch = 40;

MeterColumn Column(bool compressed, double top, double bottom, int32_t span, int32_t h) {
    MeterColumn column;
    column.bar = {90, kTop, 110, kTop + span + 1};
    column.centerX = kCenter;
    column.textHeight = h;
    SetColumnScale(column, compressed, top, -3, bottom, span);
    return column;
}

std::vector<std::string> Texts(const ScalePlan& plan) {
    std::vector<std::string> texts;
    for (const ScaleNumber& n : plan.numbers)
        texts.push_back(n.text);
    return texts;
}

// Rows of the ticks of one half width.
std::set<int32_t> TickRows(const ScalePlan& plan, int32_t halfWidth) {
    std::set<int32_t> rows;
    for (const ScaleTick& t : plan.ticks)
        if (t.halfWidth == halfWidth)
            rows.insert(t.row);
    return rows;
}

constexpr int32_t kWide = kPitch / 2; // 20
constexpr int32_t kMedium = 15;       // MulDiv(40, 3, 8)
constexpr int32_t kNarrow = 13;       // MulDiv(40, 13, 40)

TEST(Scale, LinearSixtyDbOverThreeHundredPixelsNumbersEveryTenDb) {
    const MeterColumn c = Column(false, 0, -60, 300, 13);
    const ScalePlan plan = PlanScale(c, kPitch, true, false);
    EXPECT_TRUE(plan.numbersLeft);
    EXPECT_EQ(Texts(plan),
              (std::vector<std::string>{"  0", "-10", "-20", "-30", "-40", "-50", "-60"}));
    // Right-aligned at centre - MulDiv(40, 12, 20), half a text height above the row.
    EXPECT_EQ(plan.numbers[1].x, kCenter - 24);
    EXPECT_EQ(plan.numbers[1].y, kTop + 50 - 6);
    // k = -5: 1 dB marks and 5 dB marks are there.
    EXPECT_EQ(TickRows(plan, kNarrow).size(), 60u);
    EXPECT_TRUE(TickRows(plan, kMedium).contains(kTop + 25));
    const std::set<int32_t> wide = TickRows(plan, kWide);
    EXPECT_TRUE(wide.contains(kTop));
    EXPECT_TRUE(wide.contains(kTop + 50));
    EXPECT_TRUE(wide.contains(kTop + 300)); // the bottom line at B - 1
}

struct LinearCase {
    const char* what;
    int32_t span;
    int32_t h;
    std::vector<std::string> numbers;
    bool fiveDbMarks;
    bool oneDbMarks;
};

class LinearSpacing : public testing::TestWithParam<LinearCase> {};

TEST_P(LinearSpacing, NumbersAndMarksThinOutAsTheScaleShrinks) {
    const LinearCase& p = GetParam();
    const ScalePlan plan = PlanScale(Column(false, 0, -60, p.span, p.h), kPitch, false, true);
    EXPECT_FALSE(plan.numbersLeft);
    EXPECT_EQ(Texts(plan), p.numbers);
    EXPECT_EQ(!TickRows(plan, kMedium).empty(), p.fiveDbMarks);
    EXPECT_EQ(!TickRows(plan, kNarrow).empty(), p.oneDbMarks);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LinearSpacing,
    testing::Values(
        // k = -5: every 10 dB while h < 50.
        LinearCase{
            "Every10", 300, 49, {"  0", "-10", "-20", "-30", "-40", "-50", "-60"}, true, true},
        LinearCase{"Every20", 300, 50, {"  0", "-20", "-40", "-60"}, true, true},
        // k = -0.5: two numbers, no 5 or 1 dB marks.
        LinearCase{"Ends", 30, 30, {"  0", "-60"}, false, false},
        // k = -1: 5 dB marks need -5k >= 5, 1 dB marks -k >= 5.
        LinearCase{"FiveOnly", 60, 10, {"  0", "-20", "-40", "-60"}, true, false}),
    [](const auto& info) { return info.param.what; });

TEST(Scale, NumbersAreLeftOutUnlessAskedForAndAlignmentFollowsTheSide) {
    const MeterColumn c = Column(false, 0, -60, 300, 13);
    const ScalePlan ticksOnly = PlanScale(c, kPitch, false, false);
    EXPECT_TRUE(ticksOnly.numbers.empty());
    EXPECT_FALSE(ticksOnly.ticks.empty());
    const ScalePlan right = PlanScale(c, kPitch, false, true);
    EXPECT_EQ(right.numbers[0].x, kCenter + 24);
}

TEST(Scale, ATopAboveZeroIsPrintedWithItsSignAndTheTensRunFromZero) {
    // Linear +10 .. -50 over 300 pixels (k = -5): "+10", then 0, -10, ...
    const ScalePlan plan = PlanScale(Column(false, 10, -50, 300, 13), kPitch, true, false);
    const std::vector<std::string> texts = Texts(plan);
    ASSERT_GE(texts.size(), 3u);
    EXPECT_EQ(texts[0], "+10");
    EXPECT_EQ(texts[1], "  0");
    EXPECT_EQ(plan.numbers[1].y, kTop + 50 - 6);
}

TEST(Scale, CompressedNumbersKeepATextHeightApart) {
    const int32_t h = 13;
    const MeterColumn c = Column(true, 0, -60, 300, h);
    const ScalePlan plan = PlanScale(c, kPitch, true, false);
    const std::vector<std::string> texts = Texts(plan);
    ASSERT_GE(texts.size(), 6u);
    EXPECT_EQ(texts[0], "  0");
    // The dense top of the scale has room for 5 dB steps, the bottom not even for every 10.
    EXPECT_NE(std::find(texts.begin(), texts.end(), " -5"), texts.end());
    EXPECT_EQ(std::find(texts.begin(), texts.end(), "-55"), texts.end());
    for (size_t i = 1; i < plan.numbers.size(); ++i)
        EXPECT_GT(plan.numbers[i].y - plan.numbers[i - 1].y, h - 1) << texts[i];
}

TEST(Scale, CompressedOneDbMarksStopAtTheFirstMultipleOfFiveWhereTheyCrowd) {
    const MeterColumn c = Column(true, 0, -60, 300, 13);
    const ScalePlan plan = PlanScale(c, kPitch, false, false);
    const std::set<int32_t> narrow = TickRows(plan, kNarrow);
    // Near the top 1 dB is 7.3 * 300/64 * 0.2233 = 7.6 pixels: marks; they end before the
    // first multiple of 5 at which a step shrinks under 5 pixels (at -20 dB: 5.7 weight,
    // 5.97 pixels, still drawn; at -30 dB: 4.1 weight, 4.3 pixels, stop).
    EXPECT_TRUE(narrow.contains(kTop + c.LevelToOffset(-1)));
    EXPECT_TRUE(narrow.contains(kTop + c.LevelToOffset(-29)));
    EXPECT_FALSE(narrow.contains(kTop + c.LevelToOffset(-30)));
    EXPECT_FALSE(narrow.contains(kTop + c.LevelToOffset(-31)));
    // 5 dB marks only where 5 dB is more than 5 pixels.
    const std::set<int32_t> medium = TickRows(plan, kMedium);
    EXPECT_TRUE(medium.contains(kTop + c.LevelToOffset(-45)));
    EXPECT_FALSE(medium.contains(kTop + c.LevelToOffset(-55)));
}

TEST(FormatScaleNumber, PadsToThreeAndSignsOnRequest) {
    EXPECT_EQ(FormatScaleNumber(0, false), "  0");
    EXPECT_EQ(FormatScaleNumber(-5, false), " -5");
    EXPECT_EQ(FormatScaleNumber(-100, false), "-100");
    EXPECT_EQ(FormatScaleNumber(6, true), " +6");
    EXPECT_EQ(FormatScaleNumber(12, true), "+12");
    EXPECT_EQ(FormatScaleNumber(-2.5, false), " -2"); // half to even, as printf
}

} // namespace
