#include "device/channel_names.h"

#include "tests/unit/device/case_name.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

ChannelSelection Card(int32_t kind, int32_t bus = 0, int32_t rateCode = 1) {
    return {.BusType = bus, .cardKind = kind, .rateCode = rateCode};
}

// What the Channel Setup lists show: names for 0, 1, 2, ... until the query fails.
std::vector<std::string> PairList(ChannelSelection selection) {
    std::vector<std::string> names;
    char text[20];
    for (selection.ChanNumber = 0; ChannelNames::PairName(selection, text); ++selection.ChanNumber)
        names.emplace_back(text);
    return names;
}

std::vector<int32_t> ActivePairs(ChannelSelection selection) {
    std::vector<int32_t> pairs;
    for (selection.ChanNumber = -2; selection.ChanNumber < 70; ++selection.ChanNumber) {
        if (ChannelNames::IsPairActive(selection))
            pairs.push_back(selection.ChanNumber);
    }
    return pairs;
}

std::vector<int32_t> Span(int32_t first, int32_t last) {
    std::vector<int32_t> pairs;
    for (int32_t p = first; p <= last; ++p)
        pairs.push_back(p);
    return pairs;
}

const std::vector<std::string> kAdatNames = {
    "ADAT1 1+2", "ADAT1 3+4", "ADAT1 5+6", "ADAT1 7+8", "ADAT2 1+2", "ADAT2 3+4", "ADAT2 5+6",
    "ADAT2 7+8", "ADAT3 1+2", "ADAT3 3+4", "ADAT3 5+6", "ADAT3 7+8", "SPDIF"};
const std::vector<std::string> kQuiraNames = {"AN 1+2",   "AN 3+4",   "AN 5+6",
                                              "AN 7+8",   "ADAT 1+2", "ADAT 3+4",
                                              "ADAT 5+6", "ADAT 7+8", "SPDIF"};
const std::vector<std::string> kBelloNames = {"ADAT 1+2", "ADAT 3+4", "ADAT 5+6", "ADAT 7+8",
                                              "SPDIF",    "AN 1+2",   "AN 3+4",   "AN 5+6"};
const std::vector<std::string> kShortBelloNames(kBelloNames.begin(), kBelloNames.begin() + 6);

struct PairNames {
    const char* what;
    friend void PrintTo(const PairNames& c, std::ostream* os) { *os << c.what; }
    ChannelSelection selection;
    std::vector<std::string> names;
};

class PairNamesTest : public testing::TestWithParam<PairNames> {};

TEST_P(PairNamesTest, ListsTheSingleSpeedPairs) {
    const PairNames& c = GetParam();
    EXPECT_EQ(PairList(c.selection), c.names);
    EXPECT_EQ(ChannelNames::PairCount(c.selection), static_cast<int32_t>(c.names.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, PairNamesTest,
    testing::Values(PairNames{"zento at quad", Card(0, 1, 7), kAdatNames},
                    PairNames{"tamsa", Card(6, 2, 5), kAdatNames},
                    PairNames{"quira", Card(1), kQuiraNames},
                    PairNames{"bello 2 at single", Card(2, 1, 1), kShortBelloNames},
                    PairNames{"bello 2 at double", Card(2, 0, 5), kShortBelloNames},
                    PairNames{"bello 3 input", Card(3, 0), kBelloNames},
                    PairNames{"bello 3 output", Card(3, 2), kShortBelloNames},
                    PairNames{"bello 4 input", Card(4, 0), kShortBelloNames},
                    PairNames{"bello 4 playback", Card(4, 1), kBelloNames},
                    PairNames{"bello 5 output", Card(5, 2, 7), kBelloNames},
                    PairNames{"no card", Card(-1), {}}, PairNames{"unknown kind", Card(8), {}}),
    CaseName<PairNames>);

TEST(ChannelNames, MadiPairsAreNamedByTheirChannels) {
    const std::vector<std::string> names = PairList(Card(7, 0, 7));
    ASSERT_EQ(names.size(), 32u);
    EXPECT_EQ(names[0], "1+2");
    EXPECT_EQ(names[4], "9+10");
    EXPECT_EQ(names[31], "63+64");
}

TEST(ChannelNames, NegativePairHasNoName) {
    ChannelSelection selection = Card(0);
    selection.ChanNumber = -1;
    char text[20] = "old";
    EXPECT_FALSE(ChannelNames::PairName(selection, text));
    EXPECT_STREQ(text, "old");
}

TEST(ChannelNames, TextTooSmallForTheNameStaysUntouched) {
    ChannelSelection selection = Card(2);
    selection.GroupNumber = 1;
    char text[20] = "old";
    EXPECT_FALSE(ChannelNames::GroupName(selection, std::span<char>(text, 12)));
    EXPECT_STREQ(text, "old");
    EXPECT_FALSE(ChannelNames::GroupName(selection, std::span<char>()));
    ASSERT_TRUE(ChannelNames::GroupName(selection, std::span<char>(text, 13)));
    EXPECT_STREQ(text, "SPDIF+ANALOG");
}

struct Activity {
    const char* what;
    friend void PrintTo(const Activity& c, std::ostream* os) { *os << c.what; }
    ChannelSelection selection;
    int32_t count;
    std::vector<int32_t> pairs;
};

class ActivityTest : public testing::TestWithParam<Activity> {};

TEST_P(ActivityTest, CountsAndFindsTheActivePairs) {
    const Activity& c = GetParam();
    EXPECT_EQ(ChannelNames::ActivePairCount(c.selection), c.count);
    EXPECT_EQ(ActivePairs(c.selection), c.pairs);
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, ActivityTest,
    testing::Values(Activity{"zento single", Card(0, 0, 1), 13, Span(0, 12)},
                    Activity{"zento quad", Card(0, 0, 7), 0, {}},
                    Activity{"tamsa double", Card(6, 1, 5), 7, {0, 1, 4, 5, 8, 9, 12}},
                    Activity{"quira single", Card(1, 0, 1), 9, Span(0, 8)},
                    Activity{"quira double", Card(1, 0, 5), 7, {0, 1, 2, 3, 4, 5, 8}},
                    Activity{"quira quad", Card(1, 0, 7), 0, {}},
                    Activity{"bello 2 single", Card(2, 0, 1), 6, Span(0, 5)},
                    Activity{"bello 2 double", Card(2, 0, 5), 4, {0, 1, 4, 5}},
                    Activity{"bello 2 quad", Card(2, 0, 7), 2, {4, 5}},
                    Activity{"bello 3 input double", Card(3, 0, 5), 6, {0, 1, 4, 5, 6, 7}},
                    Activity{"bello 3 output quad", Card(3, 2, 7), 2, {4, 5}},
                    Activity{"bello 4 input double", Card(4, 0, 5), 4, {0, 1, 4, 5}},
                    Activity{"bello 5 quad", Card(5, 1, 7), 4, {4, 5, 6, 7}},
                    Activity{"madi single", Card(7, 0, 1), 32, Span(0, 31)},
                    Activity{"madi double", Card(7, 0, 5), 16, Span(0, 15)},
                    Activity{"madi quad", Card(7, 2, 7), 8, Span(0, 7)},
                    Activity{"rate 0 counts as single", Card(7, 0, 0), 32, Span(0, 31)},
                    Activity{"rate beyond quad", Card(7, 0, 9), 0, {}},
                    Activity{"negative rate", Card(7, 0, -3), 0, {}},
                    Activity{"no card", Card(-1, 0, 1), 0, {}}),
    CaseName<Activity>);

struct Group {
    const char* what;
    friend void PrintTo(const Group& c, std::ostream* os) { *os << c.what; }
    int32_t kind;
    int32_t group;
    const char* name; // nullptr: no name
    int32_t firstPair;
};

class GroupTest : public testing::TestWithParam<Group> {};

TEST_P(GroupTest, NamesAndStartsTheGroup) {
    const Group& c = GetParam();
    ChannelSelection selection = Card(c.kind);
    selection.GroupNumber = c.group;
    char text[20] = "old";
    EXPECT_EQ(ChannelNames::GroupName(selection, text), c.name != nullptr);
    EXPECT_STREQ(text, c.name ? c.name : "old");
    EXPECT_EQ(ChannelNames::GroupFirstPair(selection), c.firstPair);
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, GroupTest,
    testing::Values(Group{"madi 0", 7, 0, "1+2", 0}, Group{"madi 5", 7, 5, "11+12", 5},
                    Group{"madi 28", 7, 28, "57+58", 28}, Group{"madi 29", 7, 29, nullptr, 29},
                    Group{"madi 31", 7, 31, nullptr, 31}, Group{"madi 32", 7, 32, nullptr, -1},
                    Group{"madi negative", 7, -1, nullptr, -1}, Group{"zento 0", 0, 0, "ADAT 1", 0},
                    Group{"zento 2", 0, 2, "ADAT 3", 8}, Group{"zento 3", 0, 3, nullptr, -1},
                    Group{"tamsa 1", 6, 1, "ADAT 2", 4}, Group{"quira 0", 1, 0, "ANALOG", 0},
                    Group{"quira 1", 1, 1, "ADAT", 4}, Group{"quira 2", 1, 2, nullptr, -1},
                    Group{"bello 0", 3, 0, "ADAT", 0}, Group{"bello 1", 5, 1, "SPDIF+ANALOG", 4},
                    Group{"bello negative", 2, -4, nullptr, -1},
                    Group{"no card", -1, 0, nullptr, 0},
                    Group{"no card group 40", -1, 40, nullptr, 0}),
    CaseName<Group>);

TEST(ChannelNames, QuiraDriverPairsAtEachSpeed) {
    const int32_t single[] = {0, 1, 2, 3, 8, 9, 10, 11, 12};
    const int32_t higher[] = {0, 1, 4, 5, 8, 9, 10, 11, 12};
    for (int32_t pair = 0; pair < 9; ++pair) {
        EXPECT_EQ(ChannelNames::DriverPair(Card(1, 0, 1), pair), single[pair]) << pair;
        EXPECT_EQ(ChannelNames::DriverPair(Card(1, 0, 5), pair), higher[pair]) << pair;
        EXPECT_EQ(ChannelNames::DriverPair(Card(1, 0, 7), pair), higher[pair]) << pair;
    }
}

TEST(ChannelNames, OtherKindsDeliverPairsUnmoved) {
    for (int32_t kind : {-1, 0, 2, 3, 4, 5, 6, 7}) {
        for (int32_t rate : {1, 5, 7}) {
            EXPECT_EQ(ChannelNames::DriverPair(Card(kind, 0, rate), 4), 4);
            EXPECT_EQ(ChannelNames::DriverPair(Card(kind, 0, rate), 40), 40);
        }
    }
}

TEST(ChannelNames, ModelNameFormats) {
    const char* expected[] = {"Kestrel Zento (%i)", "Kestrel Quira (%i)", "Kestrel Bello (%i)",
                              "Kestrel Bello (%i)", "Kestrel Bello (%i)", "Kestrel Bello (%i)",
                              "Kestrel Tamsa (%i)", "Kestrel Orvo (%i)"};
    for (int32_t kind = 0; kind < 8; ++kind)
        EXPECT_STREQ(ChannelNames::ModelNameFormat(kind), expected[kind]) << kind;
    EXPECT_EQ(ChannelNames::ModelNameFormat(-1), nullptr);
    EXPECT_EQ(ChannelNames::ModelNameFormat(8), nullptr);
}

TEST(ChannelNames, CardNamesCountWithinTheFamily) {
    std::array<char, 40> name{};
    ChannelSelection madi{.CardNumber = 2, .cardKind = 7};
    ASSERT_TRUE(ChannelNames::CardName(madi, name));
    EXPECT_STREQ(name.data(), "Kestrel Orvo (3)");
    ChannelSelection tamsa{.CardNumber = 3, .cardKind = 6};
    ASSERT_TRUE(ChannelNames::CardName(tamsa, name));
    EXPECT_STREQ(name.data(), "Kestrel Tamsa (1)");

    std::array<char, 16> tooShort{'x'};
    ChannelSelection bello{.CardNumber = 5, .cardKind = 2};
    EXPECT_FALSE(ChannelNames::CardName(bello, tooShort)); // "Kestrel Bello (3)" is 17 long
    EXPECT_EQ(tooShort[0], 'x');
    ChannelSelection absent{.CardNumber = 1, .cardKind = -1};
    EXPECT_FALSE(ChannelNames::CardName(absent, name));

    EXPECT_EQ(ChannelNames::FamilyNumber(0), 1);
    EXPECT_EQ(ChannelNames::FamilyNumber(5), 3);
    EXPECT_EQ(ChannelNames::FamilyNumber(6), 0);
    EXPECT_EQ(ChannelNames::FamilyNumber(-1), 0);
}

TEST(ChannelNames, BusNames) {
    EXPECT_STREQ(ChannelNames::BusName(0), "Input");
    EXPECT_STREQ(ChannelNames::BusName(1), "Playback");
    EXPECT_STREQ(ChannelNames::BusName(2), "Output");
    EXPECT_EQ(ChannelNames::BusName(3), nullptr);
    EXPECT_EQ(ChannelNames::BusName(-1), nullptr);
}

} // namespace
