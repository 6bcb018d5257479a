#include "setup/param_templates.h"
#include "setup/value_entry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const ParamDesc& Stereo(int32_t id) {
    for (const ParamDesc& r : kStereoParamTemplate)
        if (r.id == id && r.type != kControlEmpty)
            return r;
    throw std::logic_error("no such record");
}

const ParamDesc& Multi(int32_t id) {
    for (const ParamDesc& r : kMultiChannelParamTemplate)
        if (r.id == id)
            return r;
    throw std::logic_error("no such record");
}

TEST(ValueRangeText, ShowsBothEndsAsTheRecordShowsValuesThenTheUnit) {
    EXPECT_EQ(ValueRangeText(Stereo(kParamSwitchLevel)), "-140.0 ... 0.1 dB");
    EXPECT_EQ(ValueRangeText(Stereo(kParamRelease)), "10 ... 100 dB/s");
    EXPECT_EQ(ValueRangeText(Multi(kParamPeakHold)), "0.1 ... 9.9 s");
    EXPECT_EQ(ValueRangeText(Multi(kParamFscCount)), "1 ... 9 samples");
}

TEST(ParseValueEntry, ReadsCommaNegatesInNonPositiveFieldsAndClamps) {
    const struct {
        const ParamDesc& record;
        std::string text;
        double expected;
    } cases[] = {
        {Stereo(kParamSwitchLevel), "-12,5", -12.5},
        {Stereo(kParamSwitchLevel), "0,05", 0.05}, // its range ends above 0: no negation
        {Multi(kParamSwitchLevel), "5", -5},       // ends at 0: negated
        {Stereo(kParamBottomLevel), "12", -20},    // -12, clamped to the maximum
        {Stereo(kParamBottomLevel), "60", -60},
        {Stereo(kParamPeakHold), "letters", 0.1}, // no number counts as 0, then clamped
        {Stereo(kParamPeakHold), " 2.5 s", 2.5},
        {Stereo(kParamPeakHold), "1,5,7", 1.5}, // only the first comma
        {Stereo(kParamRelease), "1e3", 100},
        {Stereo(kParamRelease), "inf", 10},                       // not a finite number: 0
        {Stereo(kParamRelease), std::string(98, '0') + "55", 10}, // read 98 characters
        {Stereo(kParamRelease), std::string(97, '0') + "55", 10},
        {Stereo(kParamRelease), std::string(96, '0') + "55", 55},
    };
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(ParseValueEntry(c.record, c.text), c.expected) << c.text;
}

TEST(StepEntryValue, StepsANotchTenWithShiftAndNothingBelowANotch) {
    const ParamDesc& level = Stereo(kParamSwitchLevel);
    EXPECT_DOUBLE_EQ(StepEntryValue(level, -3, 120, false), -2.9);
    EXPECT_DOUBLE_EQ(StepEntryValue(level, -3, 120, true), -2.0);
    EXPECT_DOUBLE_EQ(StepEntryValue(level, -3, 119, true), -3);
    EXPECT_DOUBLE_EQ(StepEntryValue(level, -3, -240, false), -3.2);
    EXPECT_DOUBLE_EQ(StepEntryValue(level, 0, 1200, true), 0.1);
}

TEST(StepSelectionValue, TurningAwayMovesUpTheList) {
    const ParamDesc& type = Multi(kParamTextLevelType); // entries 0..2
    EXPECT_EQ(StepSelectionValue(type, 1, 120), 0);
    EXPECT_EQ(StepSelectionValue(type, 1, -120), 2);
    EXPECT_EQ(StepSelectionValue(type, 2, -120), 2);
    EXPECT_EQ(StepSelectionValue(type, 1, 100), 1);
}

} // namespace
