#include "device/channel_names.h"

#include "device/driver_protocol.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string_view>

namespace {

constexpr int kKinds = 8;
constexpr int kSpeedClasses = 3;
constexpr int32_t kMadiKind = 7;
constexpr int32_t kMadiGroups = 32;         // a MADI group may start at any of its 32 pairs
constexpr int32_t kMadiLastNamedGroup = 28; // the last group that still has four pairs

constexpr int32_t kChannelCounts[kKinds][kSpeedClasses] = {
    {26, 14, 0}, {18, 14, 0}, {12, 8, 4},  {16, 12, 8},
    {16, 12, 8}, {16, 12, 8}, {26, 14, 0}, {64, 32, 16},
};
// kBello models without the analogue input (kind 4) or output (kind 3) board.
constexpr int32_t kReducedCounts[kSpeedClasses] = {12, 8, 4};

struct PairList {
    int count = 0;
    std::array<int8_t, 32> pairs{};
};

constexpr PairList Range(int count) {
    PairList list;
    for (int i = 0; i < count; ++i)
        list.pairs[i] = static_cast<int8_t>(i);
    list.count = count;
    return list;
}

constexpr PairList List(std::initializer_list<int8_t> pairs) {
    PairList list;
    for (int8_t pair : pairs)
        list.pairs[list.count++] = pair;
    return list;
}

constexpr PairList kAdatActive[kSpeedClasses] = {Range(13), List({0, 1, 4, 5, 8, 9, 12}), {}};
constexpr PairList kQuiraActive[kSpeedClasses] = {Range(9), List({0, 1, 2, 3, 4, 5, 8}), {}};
constexpr PairList kBelloActive[kSpeedClasses] = {Range(8), List({0, 1, 4, 5, 6, 7}),
                                                  List({4, 5, 6, 7})};
constexpr PairList kMadiActive[kSpeedClasses] = {Range(32), Range(16), Range(8)};

struct Group {
    const char* name;
    int32_t firstPair;
};

struct KestrelModel {
    std::span<const char* const> pairNames;
    std::span<const Group> groups;
    const PairList* activePairs;
    const char* nameFormat;
};

constexpr const char* kAdatPairNames[] = {
    "ADAT1 1+2", "ADAT1 3+4", "ADAT1 5+6", "ADAT1 7+8", "ADAT2 1+2", "ADAT2 3+4", "ADAT2 5+6",
    "ADAT2 7+8", "ADAT3 1+2", "ADAT3 3+4", "ADAT3 5+6", "ADAT3 7+8", "SPDIF"};
constexpr const char* kQuiraPairNames[] = {"AN 1+2",   "AN 3+4",   "AN 5+6",   "AN 7+8", "ADAT 1+2",
                                           "ADAT 3+4", "ADAT 5+6", "ADAT 7+8", "SPDIF"};
constexpr const char* kBelloPairNames[] = {"ADAT 1+2", "ADAT 3+4", "ADAT 5+6", "ADAT 7+8",
                                           "SPDIF",    "AN 1+2",   "AN 3+4",   "AN 5+6"};

constexpr Group kAdatGroups[] = {{"ADAT 1", 0}, {"ADAT 2", 4}, {"ADAT 3", 8}};
constexpr Group kQuiraGroups[] = {{"ANALOG", 0}, {"ADAT", 4}};
constexpr Group kBelloGroups[] = {{"ADAT", 0}, {"SPDIF+ANALOG", 4}};

constexpr KestrelModel kZento{kAdatPairNames, kAdatGroups, kAdatActive, "Kestrel Zento (%i)"};
constexpr KestrelModel kQuira{kQuiraPairNames, kQuiraGroups, kQuiraActive, "Kestrel Quira (%i)"};
constexpr KestrelModel kBello{kBelloPairNames, kBelloGroups, kBelloActive, "Kestrel Bello (%i)"};
constexpr KestrelModel kTamsa{kAdatPairNames, kAdatGroups, kAdatActive, "Kestrel Tamsa (%i)"};
constexpr const KestrelModel* kKestrelModels[kMadiKind] = {&kZento, &kQuira, &kBello, &kBello,
                                                           &kBello, &kBello, &kTamsa};
constexpr const KestrelModel& KestrelModelOf(int32_t kind) {
    return *kKestrelModels[kind];
}

constexpr const char* kMadiNameFormat = "Kestrel Orvo (%i)";

bool IsKind(int32_t kind) {
    return kind >= 0 && kind < kKinds;
}

bool UsesReducedCounts(const ChannelSelection& selection) {
    return (selection.cardKind == 4 && selection.BusType == 0) ||
           (selection.cardKind == 3 && selection.BusType == 2);
}

// -1 for a rate code that names no speed.
int SpeedClass(const ChannelSelection& selection) {
    const int32_t speedClass = selection.rateCode / 3;
    return speedClass >= 0 && speedClass < kSpeedClasses ? speedClass : -1;
}

int32_t ChannelCount(const ChannelSelection& selection, int speedClass) {
    if (!IsKind(selection.cardKind) || speedClass < 0)
        return 0;
    return UsesReducedCounts(selection) ? kReducedCounts[speedClass]
                                        : kChannelCounts[selection.cardKind][speedClass];
}

const PairList& ActivePairs(int32_t kind, int speedClass) {
    return kind == kMadiKind ? kMadiActive[speedClass]
                             : KestrelModelOf(kind).activePairs[speedClass];
}

bool CopyName(std::string_view name, std::span<char> text) {
    if (text.size() <= name.size())
        return false;
    std::memcpy(text.data(), name.data(), name.size());
    text[name.size()] = '\0';
    return true;
}

// MADI pair p carries channels 2p+1 and 2p+2; its groups are named after their first pair.
bool CopyMadiPairName(int32_t pair, std::span<char> text) {
    char name[16];
    const int length = std::snprintf(name, sizeof name, "%d+%d", 2 * pair + 1, 2 * pair + 2);
    return CopyName(std::string_view(name, static_cast<size_t>(length)), text);
}

} // namespace

namespace ChannelNames {

int32_t PairCount(const ChannelSelection& selection) {
    return ChannelCount(selection, 0) / 2;
}

int32_t ActivePairCount(const ChannelSelection& selection) {
    return ChannelCount(selection, SpeedClass(selection)) / 2;
}

bool IsPairActive(const ChannelSelection& selection) {
    const int32_t count = ActivePairCount(selection);
    if (count <= 0)
        return false;
    const PairList& active = ActivePairs(selection.cardKind, SpeedClass(selection));
    for (int i = 0; i < count && i < active.count; ++i) {
        if (active.pairs[i] == selection.ChanNumber)
            return true;
    }
    return false;
}

bool PairName(const ChannelSelection& selection, std::span<char> text) {
    const int32_t pair = selection.ChanNumber;
    if (pair < 0 || pair >= PairCount(selection))
        return false;
    if (selection.cardKind == kMadiKind)
        return CopyMadiPairName(pair, text);
    return CopyName(KestrelModelOf(selection.cardKind).pairNames[pair], text);
}

bool GroupName(const ChannelSelection& selection, std::span<char> text) {
    const int32_t group = selection.GroupNumber;
    if (!IsKind(selection.cardKind) || group < 0)
        return false;
    if (selection.cardKind == kMadiKind)
        return group <= kMadiLastNamedGroup && CopyMadiPairName(group, text);
    const std::span<const Group> groups = KestrelModelOf(selection.cardKind).groups;
    return group < static_cast<int32_t>(groups.size()) && CopyName(groups[group].name, text);
}

int32_t GroupFirstPair(const ChannelSelection& selection) {
    const int32_t group = selection.GroupNumber;
    if (!IsKind(selection.cardKind))
        return 0;
    // A negative index (a list without a selection) names no group either.
    if (group < 0)
        return -1;
    if (selection.cardKind == kMadiKind)
        return group < kMadiGroups ? group : -1;
    const std::span<const Group> groups = KestrelModelOf(selection.cardKind).groups;
    return group < static_cast<int32_t>(groups.size()) ? groups[group].firstPair : -1;
}

int32_t DriverPair(const ChannelSelection& selection, int32_t logicalPair) {
    if (selection.cardKind != 1)
        return logicalPair;
    // The kQuira delivers its analogue pairs, ADAT ports and SPDIF at fixed driver pairs; at
    // the higher speeds the analogue pairs pack differently.
    if (selection.rateCode < 3)
        return logicalPair > 3 ? logicalPair + 4 : logicalPair;
    int32_t pair = logicalPair > 1 ? logicalPair + 2 : logicalPair;
    return pair > 5 ? pair + 2 : pair;
}

const char* ModelNameFormat(int32_t cardKind) {
    if (!IsKind(cardKind))
        return nullptr;
    return cardKind == kMadiKind ? kMadiNameFormat : KestrelModelOf(cardKind).nameFormat;
}

int32_t FamilyNumber(int32_t slot) {
    if (slot < 0 || slot >= driver_protocol::kCardSlots)
        return 0;
    return driver_protocol::IsMadiSlot(slot) ? slot + 1 : slot - driver_protocol::kMadiSlots + 1;
}

bool CardName(const ChannelSelection& selection, std::span<char> text) {
    const char* format = ModelNameFormat(selection.cardKind);
    if (!format)
        return false;
    char name[40];
    const int length = std::snprintf(name, sizeof name, format, FamilyNumber(selection.CardNumber));
    return CopyName(std::string_view(name, static_cast<size_t>(length)), text);
}

const char* BusName(int32_t bus) {
    constexpr const char* kBusNames[] = {"Input", "Playback", "Output"};
    return bus >= 0 && bus < driver_protocol::kBuses ? kBusNames[bus] : nullptr;
}

} // namespace ChannelNames
