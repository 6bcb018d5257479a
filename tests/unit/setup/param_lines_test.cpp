#include "setup/param_lines.h"
#include "setup/param_templates.h"
#include "tests/unit/setup/param_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Written(const ParamTable& table) {
    LineWriter writer;
    WriteParamLines(table, writer);
    return writer.Bytes();
}

TEST(WriteParamLines, WritesTheEditableRecordsOfBothTemplatesByteForByte) {
    StereoParamStore stereo;
    EXPECT_EQ(Written(stereo.Table()), "Level Meter Top Level=0.000000\n"
                                       "Level Meter Switch Level=-3.000000\n"
                                       "Level Meter Bottom Level=-60.000000\n"
                                       "Level Meter Peak Hold=1.000000\n"
                                       "Level Meter Release=20.000000\n"
                                       "Level Meter FSC Count =3.000000\n"
                                       "Level Meter Compressed Scale=1.000000\n"
                                       "Level Meter Instant Hold=0.000000\n"
                                       "Level Meter Hold Reset=0.000000\n"
                                       "RMS +3dB=1.000000\n");
    MultiChannelParamStore multi;
    EXPECT_EQ(Written(multi.Table()), "Top Level=0.000000\n"
                                      "Switch Level=-3.000000\n"
                                      "Bottom Level=-60.000000\n"
                                      "Peak Hold Time=1.000000\n"
                                      "Release Time=20.000000\n"
                                      "FSC Count for OVR =3.000000\n"
                                      "Level Meter Compressed Scale=1.000000\n"
                                      "Instant Hold=0.000000\n"
                                      "Hold Reset=0.000000\n"
                                      "RMS +3dB=1.000000\n"
                                      "Text level type select=0.000000\n"
                                      "Bar level type select=1.000000\n");
}

struct ReadCase {
    const char* what;
    bool stereo;
    const char* text;
    int32_t id;
    double before;
    double after;
};

class ReadParamLinesCase : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadParamLinesCase, AppliesTheLineToItsRecord) {
    const ReadCase& c = GetParam();
    StereoParamStore stereo;
    MultiChannelParamStore multi;
    ParamTable& table = c.stereo ? stereo.Table() : multi.Table();
    ParamDesc& record = *FindParamById(table, c.id);
    record.value = c.before;
    ClearFlags(table);
    LineReader reader(c.text);
    ReadParamLines(table, reader);
    EXPECT_EQ(record.value, c.after);
    EXPECT_EQ(record.flags, c.before == c.after ? 0u : PF_CHANGED | PF_REDRAW);
}

constexpr bool kStereo = true;
constexpr bool kMulti = false;

INSTANTIATE_TEST_SUITE_P(
    Lines, ReadParamLinesCase,
    testing::Values(
        ReadCase{"above_max", kStereo, "Level Meter Top Level=5\n", kParamTopLevel, -20, 0},
        ReadCase{"below_min", kStereo, "Level Meter Bottom Level=-200", kParamBottomLevel, -60,
                 -140},
        ReadCase{"colon", kStereo, "Level Meter Top Level:-20\n", kParamTopLevel, 0, -20},
        ReadCase{"same_value", kStereo, "Level Meter Top Level=0.000000\n", kParamTopLevel, 0, 0},
        ReadCase{"stereo_switch", kStereo, "Level Meter Switch Level=0.1\n", kParamSwitchLevel, -3,
                 0.1},
        ReadCase{"multi_switch", kMulti, "Switch Level=0.1\n", kParamSwitchLevel, -3, 0},
        ReadCase{"second_wins", kStereo, "Level Meter Top Level=-20\nLevel Meter Top Level=-30",
                 kParamTopLevel, 0, -30},
        ReadCase{"shared_stereo", kStereo, "RMS +3dB=0.000000\n", kParamRmsPlus3Db, 1, 0},
        ReadCase{"shared_multi", kMulti, "RMS +3dB=0.000000\n", kParamRmsPlus3Db, 1, 0},
        ReadCase{"stereo_in_multi", kMulti, "Level Meter Top Level=-20\n", kParamTopLevel, 0, 0},
        ReadCase{"empty_line_ends", kStereo, "\nLevel Meter Top Level=-20\n", kParamTopLevel, 0, 0},
        ReadCase{"cr_lf", kMulti, "Top Level=-20.000000\r\n", kParamTopLevel, 0, -20},
        ReadCase{"name_blank", kMulti, "FSC Count for OVR =5\n", kParamFscCount, 3, 5},
        ReadCase{"name_blank_missing", kMulti, "FSC Count for OVR=5\n", kParamFscCount, 3, 3},
        ReadCase{"scanf_tail", kStereo, "Level Meter Top Level= -20 dB\n", kParamTopLevel, 0, -20},
        ReadCase{"not_a_number", kStereo, "Level Meter Top Level=loud\n", kParamTopLevel, -20, -20},
        ReadCase{"name_alone", kStereo, "Level Meter Top Level\n", kParamTopLevel, -20, -20},
        ReadCase{"nan", kStereo, "Level Meter Top Level=nan\n", kParamTopLevel, -20, -20},
        ReadCase{"inf", kStereo, "Level Meter Top Level=inf\n", kParamTopLevel, -20, -20},
        ReadCase{"minus_inf", kStereo, "Level Meter Bottom Level=-inf\n", kParamBottomLevel, -60,
                 -60}),
    [](const auto& info) { return std::string(info.param.what); });

TEST(ReadParamLines, ConsumesTheEmptyLineAndLeavesWhatFollows) {
    StereoParamStore store;
    LineReader reader("Level Meter Release=50\n\nLevel Meter Release=60\n");
    ReadParamLines(store.Table(), reader);
    EXPECT_EQ(ParamValue(store.Table(), kParamRelease), 50);
    std::string line;
    ASSERT_TRUE(reader.ReadLine(line));
    EXPECT_EQ(line, "Level Meter Release=60");
}

TEST(ReadParamLines, ReadsAnOverlongLinesTailAsALineOfItsOwn) {
    StereoParamStore store;
    LineReader reader("Level Meter Release=50" + std::string(978, ' ') +
                      "Level Meter Top Level=-40\n");
    ReadParamLines(store.Table(), reader);
    EXPECT_EQ(ParamValue(store.Table(), kParamRelease), 50);
    EXPECT_EQ(ParamValue(store.Table(), kParamTopLevel), -40);
}

} // namespace
