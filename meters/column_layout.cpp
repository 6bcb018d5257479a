#include "meters/column_layout.h"

#include "device/channel_names.h"
#include "platform/muldiv.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t kMadiKind = 7;
constexpr int32_t kMinHeightInLines = 14; // a shorter client keeps bars of this height
constexpr double kStereoHighestSwitchDb = 0.025;

// Labels are cut to the column's nine characters; formatting goes through a roomy buffer so
// that the compiler does not have to prove every number short.
template <typename... Args>
void Print(char (&label)[10], const char* format, Args... args) {
    char text[64];
    // A label without numbers goes through "%s": the hardened build refuses a format that is
    // not a literal when nothing is formatted.
    if constexpr (sizeof...(Args) == 0)
        std::snprintf(text, sizeof text, "%s", format);
    else
        std::snprintf(text, sizeof text, format, args...);
    const size_t length = std::min(std::strlen(text), sizeof label - 1);
    std::memcpy(label, text, length);
    label[length] = '\0';
}

// Top row, bottom row and readout geometry shared by every column of a view.
struct Rows {
    int32_t top;
    int32_t bottom;
    int32_t readoutTop;
};

Rows ColumnRows(int32_t height, int32_t textHeight, int32_t linesBelow) {
    const int32_t h = textHeight;
    const int32_t clientHeight = std::max(height, kMinHeightInLines * h);
    const int32_t top = MulDiv(h, 9, 4);
    return {top, clientHeight - linesBelow * h, top - MulDiv(h, 3, 2)};
}

void PlaceColumn(MeterColumn& column, int32_t left, int32_t right, int32_t centerX,
                 int32_t readoutWidth, const Rows& rows, int32_t textHeight,
                 const ScaleParams& scale, double switchLevel) {
    column.bar = {left, rows.top, right, rows.bottom};
    column.centerX = centerX;
    column.textHeight = textHeight;
    column.readout = {centerX - readoutWidth / 2, rows.readoutTop, centerX + readoutWidth / 2,
                      rows.readoutTop + textHeight};
    SetColumnScale(column, scale.compressed, scale.topLevel, switchLevel, scale.bottomLevel,
                   rows.bottom - rows.top - 1);
}

bool IsBelloKind(int32_t kind) {
    return kind >= 2 && kind <= 5;
}

int32_t SpeedClass(const ChannelSelection& selection) {
    return selection.rateCode / 3;
}

// The ADAT port label sits on the channel in the middle of its port: the fourth at single
// speed, the second at double speed.
bool IsAdatLabelChannel(int32_t channelInPort, int32_t speedClass, bool quadCounts) {
    return (speedClass == 0 && channelInPort == 3) ||
           ((speedClass == 1 || (quadCounts && speedClass == 2)) && channelInPort == 1);
}

void MadiLabels(MeterColumn& column, int32_t c, int32_t position, const ChannelRange& range) {
    Print(column.numberLabel, "%i", c + 1);
    if (c % 8 == 3 && range.channelCount != 8)
        Print(column.groupLabel, "ADAT %i", position / 8 + 1);
}

void BelloLabels(MeterColumn& column, int32_t kind, int32_t c, int32_t speedClass,
                 const ChannelRange& range) {
    const bool off = range.readoutsOff;
    if (c < 8)
        Print(column.numberLabel, off ? "%i" : "A-%i", c + 1);
    else if (c == 8)
        Print(column.numberLabel, off ? "L" : "SL");
    else if (c == 9)
        Print(column.numberLabel, off ? "R" : "SR");
    else
        Print(column.numberLabel, off ? "%i" : "AN-%i", c - 9);
    if ((c == 3 && speedClass == 0) || (c == 1 && speedClass == 1))
        Print(column.groupLabel, "ADAT");
    else if (c == 8)
        Print(column.groupLabel, "SPDIF");
    else if ((c == 10 && kind == 2) || (c == 12 && kind != 2))
        Print(column.groupLabel, "ANALOG");
}

void AdatLabels(MeterColumn& column, int32_t c, int32_t speedClass, const ChannelRange& range) {
    if (c < 24) {
        if (range.readoutsOff)
            Print(column.numberLabel, "%i", range.adatContinuous ? c + 1 : c % 8 + 1);
        else if (range.adatContinuous)
            Print(column.numberLabel, "A%i", c + 1);
        else
            Print(column.numberLabel, "A%i-%i", c / 8 + 1, c % 8 + 1);
        if (IsAdatLabelChannel(c % 8, speedClass, true))
            Print(column.groupLabel, "ADAT %i", c / 8 + 1);
    } else if (c == 24) {
        Print(column.numberLabel, "L");
        Print(column.groupLabel, "SPDIF");
    } else if (c == 25) {
        Print(column.numberLabel, "R");
    }
}

void QuiraLabels(MeterColumn& column, int32_t c, int32_t speedClass, const ChannelRange& range) {
    if (c < 16) {
        const int32_t adat = range.adatContinuous ? c : c % 8;
        if (range.readoutsOff)
            Print(column.numberLabel, "%i", adat + 1);
        else if (c < 8)
            Print(column.numberLabel, "AN %i", c + 1);
        else
            Print(column.numberLabel, "A%i", adat + 1);
    } else if (c == 16) {
        Print(column.numberLabel, "L");
    } else if (c == 17) {
        Print(column.numberLabel, "R");
    }
    if (c == 3)
        Print(column.groupLabel, "ANALOG");
    else if (c > 8 && c < 16 && IsAdatLabelChannel(c % 8, speedClass, false))
        Print(column.groupLabel, "ADAT");
    else if (c == 16)
        Print(column.groupLabel, "SPDIF");
}

} // namespace

void WriteColumnLabels(MeterColumn& column, const ChannelSelection& selection, int32_t channel,
                       int32_t position, const ChannelRange& range) {
    column.groupLabel[0] = '\0';
    const int32_t kind = selection.cardKind;
    const int32_t speedClass = SpeedClass(selection);
    if (kind == kMadiKind)
        MadiLabels(column, channel, position, range);
    else if (IsBelloKind(kind))
        BelloLabels(column, kind, channel, speedClass, range);
    else if (kind == 0 || kind == 6)
        AdatLabels(column, channel, speedClass, range);
    else if (kind == 1)
        QuiraLabels(column, channel, speedClass, range);
}

int32_t LayoutStereoColumns(std::span<MeterColumn, 4> columns, const StereoTextMetrics& text,
                            int32_t width, int32_t height, const ScaleParams& scale) {
    const int32_t wb = text.wide;
    const Rows rows = ColumnRows(height, text.height, 3);
    const int32_t center = width / 2;
    const int32_t q = (wb / 2) / 2;
    const double switchLevel = scale.switchLevel > 0 ? kStereoHighestSwitchDb : scale.switchLevel;
    constexpr int32_t kPositions[4] = {-3, -1, 1, 3};
    for (size_t j = 0; j < columns.size(); ++j) {
        const int32_t o = MulDiv(kPositions[j], wb, 2);
        const int32_t left = center - q + o;
        const int32_t right = center + q + o;
        PlaceColumn(columns[j], left, right, (left + right) / 2, wb, rows, text.height, scale,
                    switchLevel);
        columns[j].enabled = 1;
    }
    return 2 * (text.narrow + 2 * wb);
}

int32_t LayoutMultiChannelColumns(std::span<MeterColumn, 64> columns,
                                  const MultiChannelTextMetrics& text, int32_t height,
                                  const ScaleParams& scale, const ChannelRange& range,
                                  ChannelSelection& selection) {
    const int32_t w = text.pitch;
    const Rows rows = ColumnRows(height, text.height, 2);
    const int32_t q = (w / 2) / 2;
    const int32_t kind = selection.cardKind;
    const int32_t activeChannels = 2 * ChannelNames::ActivePairCount(selection);
    int32_t x = text.narrow + w / 2;
    for (int32_t i = 0; i < static_cast<int32_t>(columns.size()); ++i) {
        MeterColumn& column = columns[i];
        PlaceColumn(column, x - q, x + q, x, w, rows, text.height, scale, scale.switchLevel);
        column.enabled = 0;
        if (i >= range.channelCount)
            continue;
        const int32_t channel = range.firstChannel + i;
        selection.ChanNumber = channel / 2;
        if (ChannelNames::IsPairActive(selection)) {
            column.enabled = 1;
            x += w;
        }
        const bool groupEnd = i % 8 == 7;
        if ((groupEnd && kind == kMadiKind && i < activeChannels - 1) ||
            (groupEnd && kind != kMadiKind && i < range.channelCount - 1) ||
            (i == 9 && IsBelloKind(kind)))
            x += w / 2;
        if (column.enabled)
            WriteColumnLabels(column, selection, channel, i, range);
    }
    return std::max(2 * (text.narrow + 2 * w), x + text.narrow - w / 2);
}
