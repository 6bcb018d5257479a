#include "setup/param_desc.h"
#include "setup/param_templates.h"
#include "tests/unit/setup/param_test_support.h"

#include <gtest/gtest.h>

#include <array>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(ClampParam, KeepsInsideTakesTheEndsOutsideAndMaxForNaN) {
    const struct {
        double value, min, max, expected;
    } cases[] = {
        {-40, -80, 0, -40},  {-80, -80, 0, -80}, {0, -80, 0, 0},    {-80.0001, -80, 0, -80},
        {0.0001, -80, 0, 0}, {kNaN, -80, 0, 0},  {kInf, -80, 0, 0}, {-kInf, -80, 0, -80},
        {3, 5, 1, 5},        {kNaN, 5, 1, 5}, // max below min: min wins
    };
    for (const auto& c : cases) {
        ParamDesc record{};
        record.min = c.min;
        record.max = c.max;
        EXPECT_EQ(ClampParam(c.value, record), c.expected) << c.value << " " << c.min;
    }
}

TEST(InitParamTable, IndexesByIdLastRecordWinningAndMarksEveryRecordChanged) {
    StereoParamStore store;
    const ParamTable& table = store.Table();
    ASSERT_EQ(table.records.size(), 15u);
    ASSERT_EQ(table.index.size(), 45u);
    for (const ParamDesc& record : table.records)
        EXPECT_EQ(record.flags, PF_CHANGED);
    // The empty slots carry id 0 too, and the last of them takes the slot.
    EXPECT_EQ(FindParamById(table, kParamBackground), &table.records[14]);
    EXPECT_EQ(FindParamById(table, kParamRmsPlus3Db), &table.records[10]);
    EXPECT_EQ(FindParamById(table, kParamBarLevelType), nullptr);
}

TEST(InitParamTable, LeavesRecordsWithIdsOutsideTheIndexUnindexed) {
    std::array<ParamDesc, 3> records{};
    records[0].id = -1;
    records[1].id = 4;
    records[2].id = 3;
    std::array<ParamDesc*, 4> index;
    index.fill(&records[0]);
    ParamTable table;
    InitParamTable(table, records, index, 254, 98);
    EXPECT_EQ(index, (std::array<ParamDesc*, 4>{nullptr, nullptr, nullptr, &records[2]}));
}

using ParamByIdTest = StereoParamsTest;

TEST_F(ParamByIdTest, SetClampsMarksAndReportsAChangeOnlyOnce) {
    Record(kParamTopLevel).value = -10;
    EXPECT_TRUE(SetParamById(5, kParamTopLevel, Table()));
    EXPECT_EQ(Record(kParamTopLevel).value, 0);
    EXPECT_EQ(Record(kParamTopLevel).flags, PF_CHANGED | PF_REDRAW);
    Record(kParamTopLevel).flags = 0;
    EXPECT_FALSE(SetParamById(5, kParamTopLevel, Table()));
    EXPECT_EQ(Record(kParamTopLevel).flags, 0u);
}

TEST_F(ParamByIdTest, RefusesIdsWithoutARecord) {
    for (int32_t id : {-1, 45, 1 << 30, int32_t{kParamBarLevelType}, 44}) {
        EXPECT_FALSE(SetParamById(1, id, Table())) << id;
        EXPECT_FALSE(ShowParamById(1, id, Table())) << id;
    }
}

TEST_F(ParamByIdTest, ShowStoresUnclampedAndMarksOnlyRedraw) {
    Record(kParamHoldReset).value = 1;
    EXPECT_TRUE(ShowParamById(0, kParamHoldReset, Table()));
    EXPECT_EQ(Record(kParamHoldReset).value, 0);
    EXPECT_EQ(Record(kParamHoldReset).flags, PF_REDRAW);
    EXPECT_FALSE(ShowParamById(0, kParamHoldReset, Table()));
    EXPECT_TRUE(ShowParamById(50, kParamTopLevel, Table()));
    EXPECT_EQ(Record(kParamTopLevel).value, 50);
}

TEST(FormatParamValue, CutsTenDecimalsToTheRecordsDecimals) {
    const struct {
        double value;
        int32_t decimals;
        const char* text;
    } cases[] = {
        {-3, 1, "-3.0"},  {2.29, 1, "2.2"},   {0.1, 1, "0.1"},           {-60, 0, "-60"},
        {9.96, 1, "9.9"}, {-0.05, 1, "-0.0"}, {0.99999999999, 1, "1.0"}, {-7.5, 3, "-7.500"},
        {kNaN, 1, "nan"}, {-kInf, 0, "-inf"},
    };
    for (const auto& c : cases) {
        ParamDesc record{};
        record.value = c.value;
        record.decimals = c.decimals;
        EXPECT_EQ(FormatParamValue(record), c.text);
    }
}

TEST(ParamTemplates, HoldTheNearestDoublesAndTheChoiceTexts) {
    EXPECT_EQ(kStereoParamTemplate[2].max, 0.1);
    EXPECT_EQ(kStereoParamTemplate[2].step, 0.1);
    EXPECT_EQ(kStereoParamTemplate[4].min, 0.1);
    EXPECT_EQ(kStereoParamTemplate[4].max, 9.9);
    const ParamDesc& barType = kMultiChannelParamTemplate[12];
    ASSERT_EQ(barType.choices, kLevelTypeChoices);
    EXPECT_STREQ(barType.choices[0], "Peak ");
    EXPECT_STREQ(barType.choices[1], "RMS  ");
    EXPECT_STREQ(barType.choices[2], "OFF  ");
    for (size_t slot = 0; slot < kStereoParamTemplate.size(); ++slot)
        EXPECT_EQ(kStereoParamTemplate[slot].helpId, slot < 11 ? 228 : 0) << slot;
}

} // namespace
