#include "setup/param_registry.h"
#include "setup/param_templates.h"
#include "tests/unit/setup/param_test_support.h"

#include "platform/memory_profile.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

constexpr const char* kSection = "Default\\Settings\\lev2";
constexpr int32_t kIntMin = std::numeric_limits<int32_t>::min();
constexpr int32_t kIntMax = std::numeric_limits<int32_t>::max();

class ParamRegistryTest : public StereoParamsTest {
protected:
    int32_t Stored(const char* name) { return profile_.ReadInt(kSection, name, -1); }

    MemoryProfile profile_;
};

TEST_F(ParamRegistryTest, WritesTheEditableRecordsInHundredthsTruncated) {
    Record(kParamPeakHold).value = 0.1;
    Record(kParamSwitchLevel).value = -2.3;
    Record(kParamRelease).value = 2.3;
    Record(kParamTopLevel).value = 1e12; // beyond 32 bits: saturated
    Record(kParamInstantHold).value = std::numeric_limits<double>::quiet_NaN();
    SaveParamsToRegistry(Table(), profile_, kSection);
    EXPECT_EQ(profile_.ValueCount(), 10u);
    EXPECT_EQ(Stored("Level Meter Peak Hold"), 10);
    EXPECT_EQ(Stored("Level Meter Switch Level"), -229);
    EXPECT_EQ(Stored("Level Meter Release"), 229);
    EXPECT_EQ(Stored("Level Meter Bottom Level"), -6000);
    EXPECT_EQ(Stored("Level Meter FSC Count "), 300);
    EXPECT_EQ(Stored("Level Meter Top Level"), kIntMax);
    EXPECT_EQ(Stored("Level Meter Instant Hold"), 0);
}

TEST_F(ParamRegistryTest, ATruncatedValueComesBackOneHundredthLower) {
    Record(kParamPeakHold).value = 2.3;
    SaveParamsToRegistry(Table(), profile_, kSection);
    Record(kParamPeakHold).value = 1;
    LoadParamsFromRegistry(Table(), profile_, kSection);
    EXPECT_EQ(Record(kParamPeakHold).value, 229 * 0.01);
    EXPECT_EQ(Record(kParamPeakHold).flags, PF_CHANGED | PF_REDRAW);
}

TEST_F(ParamRegistryTest, ReadsTheIntegerTimesOneHundredth) {
    // 35 * 0.01 lies one step above the double nearest 0.35, which 35 / 100.0 would give.
    profile_.WriteInt(kSection, "Level Meter Peak Hold", 35);
    LoadParamsFromRegistry(Table(), profile_, kSection);
    EXPECT_EQ(Record(kParamPeakHold).value, 35 * 0.01);
    EXPECT_NE(Record(kParamPeakHold).value, 0.35);
}

TEST_F(ParamRegistryTest, AbsentValuesReadAsTheDefaults) {
    Record(kParamPeakHold).value = 5;
    LoadParamsFromRegistry(Table(), profile_, kSection);
    EXPECT_EQ(Record(kParamPeakHold).value, 1);
    EXPECT_EQ(Record(kParamTopLevel).flags, 0u);
}

TEST_F(ParamRegistryTest, ClampsStoredIntegersOutsideTheRange) {
    profile_.WriteInt(kSection, "Level Meter Release", 20000);
    profile_.WriteInt(kSection, "Level Meter Bottom Level", kIntMin);
    profile_.WriteInt(kSection, "Level Meter Peak Hold", 0);
    LoadParamsFromRegistry(Table(), profile_, kSection);
    EXPECT_EQ(Record(kParamRelease).value, 100);
    EXPECT_EQ(Record(kParamBottomLevel).value, -140);
    EXPECT_EQ(Record(kParamPeakHold).value, 0.1);
}

} // namespace
