#include "meters/column_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

constexpr int32_t kSingle = 1;
constexpr int32_t kDouble = 5;
constexpr ScaleParams kScale{
    .compressed = false, .topLevel = 0, .switchLevel = -3, .bottomLevel = -60};
// Text widths of an imagined font: " -100 " 30, the column pitch 36, height 12.
constexpr MultiChannelTextMetrics kText{.narrow = 30, .pitch = 36, .height = 12};

class MultiChannelLayout : public testing::Test {
protected:
    int32_t Layout(int32_t kind, int32_t rateCode, int32_t count, int32_t first = 0,
                   bool off = false, bool adatContinuous = false) {
        selection = {.cardKind = kind, .rateCode = rateCode};
        const ChannelRange range{count, first, off, adatContinuous};
        return LayoutMultiChannelColumns(columns, kText, 600, kScale, range, selection);
    }
    std::vector<int32_t> Enabled() const {
        std::vector<int32_t> enabled;
        for (int32_t i = 0; i < 64; ++i)
            if (columns[i].enabled)
                enabled.push_back(i);
        return enabled;
    }
    std::vector<std::string> Labels(bool group) const {
        std::vector<std::string> labels;
        for (const MeterColumn& c : columns)
            if (c.enabled)
                labels.push_back(group ? c.groupLabel : c.numberLabel);
        return labels;
    }
    // Positions (column indices) after which the centre moves by more than one pitch.
    std::vector<int32_t> Gaps() const {
        std::vector<int32_t> gaps;
        const std::vector<int32_t> enabled = Enabled();
        for (size_t k = 0; k + 1 < enabled.size(); ++k)
            if (columns[enabled[k + 1]].centerX - columns[enabled[k]].centerX != kText.pitch)
                gaps.push_back(enabled[k]);
        return gaps;
    }

    std::array<MeterColumn, 64> columns{};
    ChannelSelection selection;
};

std::vector<std::string> Numbered(const char* prefix, int from, int to) {
    std::vector<std::string> labels;
    for (int i = from; i <= to; ++i)
        labels.push_back(prefix + std::to_string(i));
    return labels;
}

template <typename... Lists>
std::vector<std::string> Join(const Lists&... lists) {
    std::vector<std::string> all;
    (all.insert(all.end(), lists.begin(), lists.end()), ...);
    return all;
}

TEST_F(MultiChannelLayout, AdatCardGlobalMeterAtSingleSpeed) {
    const int32_t minWidth = Layout(0, kSingle, 26);
    ASSERT_EQ(Enabled().size(), 26u);
    EXPECT_EQ(Gaps(), (std::vector<int32_t>{7, 15, 23}));
    EXPECT_EQ(columns[0].centerX, 30 + 18);
    EXPECT_EQ(columns[8].centerX, 48 + 8 * 36 + 18);
    EXPECT_EQ(columns[8].bar.left, columns[8].centerX - 9);
    EXPECT_EQ(columns[8].bar.right, columns[8].centerX + 9);
    // The last centre plus one pitch, a margin of " -100 " less half a pitch.
    EXPECT_EQ(minWidth, 48 + 26 * 36 + 3 * 18 + 30 - 18);
    EXPECT_EQ(Labels(false), Join(Numbered("A1-", 1, 8), Numbered("A2-", 1, 8),
                                  Numbered("A3-", 1, 8), std::vector<std::string>{"L", "R"}));
    // Columns beyond the channels stay off.
    EXPECT_EQ(columns[26].enabled, 0);
}

TEST_F(MultiChannelLayout, WithoutReadoutsNumbersRunPerPortAndGroupLabelsAppear) {
    Layout(0, kSingle, 26, 0, true);
    EXPECT_EQ(Labels(false), Join(Numbered("", 1, 8), Numbered("", 1, 8), Numbered("", 1, 8),
                                  std::vector<std::string>{"L", "R"}));
    const std::vector<std::string> groups = Labels(true);
    EXPECT_EQ(groups[3], "ADAT 1");
    EXPECT_EQ(groups[11], "ADAT 2");
    EXPECT_EQ(groups[19], "ADAT 3");
    EXPECT_EQ(groups[24], "SPDIF");
    EXPECT_EQ(std::count(groups.begin(), groups.end(), ""), 22);
}

TEST_F(MultiChannelLayout, AtDoubleSpeedOnlyActivePairsTakeRoomAndLabelsMoveToTheSecondChannel) {
    Layout(0, kDouble, 26, 0, true);
    EXPECT_EQ(Enabled(), (std::vector<int32_t>{0, 1, 2, 3, 8, 9, 10, 11, 16, 17, 18, 19, 24, 25}));
    // Inactive channels take no room, the group gaps stay.
    EXPECT_EQ(columns[8].centerX - columns[3].centerX, 36 + 18);
    EXPECT_STREQ(columns[1].groupLabel, "ADAT 1");
    EXPECT_STREQ(columns[9].groupLabel, "ADAT 2");
    EXPECT_STREQ(columns[17].groupLabel, "ADAT 3");
    EXPECT_STREQ(columns[3].groupLabel, "");
}

TEST_F(MultiChannelLayout, AdatContinuousNumbersTheChannelsThrough) {
    Layout(0, kSingle, 26, 0, false, true);
    EXPECT_EQ(Labels(false), Join(Numbered("A", 1, 24), std::vector<std::string>{"L", "R"}));
    Layout(0, kSingle, 26, 0, true, true);
    EXPECT_EQ(Labels(false), Join(Numbered("", 1, 24), std::vector<std::string>{"L", "R"}));
}

TEST_F(MultiChannelLayout, GroupOfEightFromChannelSixteen) {
    Layout(0, kSingle, 8, 16);
    EXPECT_EQ(Labels(false), Numbered("A3-", 1, 8));
    EXPECT_TRUE(Gaps().empty());
}

TEST_F(MultiChannelLayout, MadiGlobalMeterHasAGapAfterEachBlockButTheLast) {
    Layout(7, kSingle, 64, 0, true);
    ASSERT_EQ(Enabled().size(), 64u);
    EXPECT_EQ(Gaps(), (std::vector<int32_t>{7, 15, 23, 31, 39, 47, 55}));
    EXPECT_EQ(Labels(false), Numbered("", 1, 64));
    for (int block = 0; block < 8; ++block)
        EXPECT_EQ(columns[8 * block + 3].groupLabel, "ADAT " + std::to_string(block + 1));
    // At double speed half the channels are active and the gaps end with them.
    Layout(7, kDouble, 64, 0, true);
    EXPECT_EQ(Enabled().size(), 32u);
    EXPECT_EQ(Gaps(), (std::vector<int32_t>{7, 15, 23}));
}

TEST_F(MultiChannelLayout, MadiGroupOfEightHasNoGroupLabel) {
    Layout(7, kSingle, 8, 24, true);
    EXPECT_EQ(Labels(false), Numbered("", 25, 32));
    EXPECT_EQ(Labels(true), std::vector<std::string>(8, ""));
}

TEST_F(MultiChannelLayout, BelloCardLabelsItsAdatSpdifAndAnalogueChannels) {
    Layout(2, kSingle, 12);
    EXPECT_EQ(Labels(false), Join(Numbered("A-", 1, 8), std::vector<std::string>{"SL", "SR"},
                                  Numbered("AN-", 1, 2)));
    EXPECT_EQ(Gaps(), (std::vector<int32_t>{7, 9}));
    EXPECT_STREQ(columns[3].groupLabel, "ADAT");
    EXPECT_STREQ(columns[8].groupLabel, "SPDIF");
    EXPECT_STREQ(columns[10].groupLabel, "ANALOG");
    Layout(3, kSingle, 16, 0, true);
    EXPECT_EQ(Labels(false),
              Join(Numbered("", 1, 8), std::vector<std::string>{"L", "R"}, Numbered("", 1, 6)));
    EXPECT_STREQ(columns[12].groupLabel, "ANALOG");
    EXPECT_STREQ(columns[10].groupLabel, "");
}

TEST_F(MultiChannelLayout, QuiraCardLabelsItsAnalogueAndAdatChannels) {
    Layout(1, kSingle, 18);
    EXPECT_EQ(Labels(false),
              Join(Numbered("AN ", 1, 8), Numbered("A", 1, 8), std::vector<std::string>{"L", "R"}));
    EXPECT_STREQ(columns[3].groupLabel, "ANALOG");
    EXPECT_STREQ(columns[11].groupLabel, "ADAT");
    EXPECT_STREQ(columns[16].groupLabel, "SPDIF");
}

TEST_F(MultiChannelLayout, ANumberLabelWithoutARuleKeepsItsOldText) {
    Layout(0, kSingle, 26);
    // No card: every column off, the labels as they were.
    Layout(-1, 0, 26);
    EXPECT_TRUE(Enabled().empty());
    EXPECT_STREQ(columns[0].numberLabel, "A1-1");
}

TEST(StereoLayout, FourColumnsAroundTheCentreAtThePitchOfAReadout) {
    std::array<MeterColumn, 4> columns{};
    const StereoTextMetrics text{.narrow = 30, .wide = 40, .height = 12};
    ScaleParams scale = kScale;
    scale.switchLevel = 0.1;
    const int32_t minWidth = LayoutStereoColumns(columns, text, 300, 500, scale);
    EXPECT_EQ(minWidth, 2 * (30 + 80));
    const int32_t centres[4] = {90, 130, 170, 210};
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(columns[j].centerX, centres[j]) << j;
        EXPECT_EQ(columns[j].bar.right - columns[j].bar.left, 20) << j;
        EXPECT_EQ(columns[j].bar.top, 27) << j;     // MulDiv(12, 9, 4)
        EXPECT_EQ(columns[j].bar.bottom, 464) << j; // 500 - 3 h
        EXPECT_EQ(columns[j].readout.left, centres[j] - 20) << j;
        EXPECT_EQ(columns[j].readout.top, 9) << j;
        EXPECT_EQ(columns[j].readout.bottom, 21) << j;
        EXPECT_DOUBLE_EQ(columns[j].switchLevel, 0.025) << j;
        EXPECT_DOUBLE_EQ(columns[j].pixelsPerDb, 436.0 / -60) << j;
    }
    // A client shorter than 14 text heights keeps the bars of a 14-line client.
    LayoutStereoColumns(columns, text, 300, 100, kScale);
    EXPECT_EQ(columns[0].bar.bottom, 11 * 12);
    EXPECT_DOUBLE_EQ(columns[0].switchLevel, -3);
}

} // namespace
