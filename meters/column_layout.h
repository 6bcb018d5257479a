#pragma once

#include "device/channel_selection.h"
#include "meters/meter_column.h"

#include <cstdint>
#include <span>

// The parameters that shape every column's scale.
struct ScaleParams {
    bool compressed = false;
    double topLevel = 0;
    double switchLevel = 0;
    double bottomLevel = 0;
};

// Text widths and height of the meter font that the layouts are built from.
struct StereoTextMetrics {
    int32_t narrow = 0; // width of " -100 "
    int32_t wide = 0;   // width of " -188.8 ", the column pitch
    int32_t height = 0;
};

// Places and enables the stereo view's four columns (RMS A, peak A, peak B, RMS B) in a
// client area of `width` x `height` and returns the minimum client width. A Switch Level
// above 0 is used as 0.025 dB, so that only an over turns the bars to the warning colour.
int32_t LayoutStereoColumns(std::span<MeterColumn, 4> columns, const StereoTextMetrics& text,
                            int32_t width, int32_t height, const ScaleParams& scale);

struct MultiChannelTextMetrics {
    int32_t narrow = 0; // width of " -100 "
    int32_t pitch = 0;  // width of "-188.8 ", or of " 55 " without readouts
    int32_t height = 0;
};

// What the multi-channel layout shows: `channelCount` channel positions from `firstChannel`
// of the selection's bus.
struct ChannelRange {
    int32_t channelCount = 0;
    int32_t firstChannel = 0;
    bool readoutsOff = false;    // Text level type OFF: group labels above the bars
    bool adatContinuous = false; // ADAT channels numbered through instead of per port
};

// Places the multi-channel view's columns, one per active channel, with gaps between the
// card's channel groups, and writes their labels. Columns of inactive channels and those
// beyond the range are disabled. `selection` is the view's copy, whose ChanNumber the layout
// uses. Returns the minimum client width.
int32_t LayoutMultiChannelColumns(std::span<MeterColumn, 64> columns,
                                  const MultiChannelTextMetrics& text, int32_t height,
                                  const ScaleParams& scale, const ChannelRange& range,
                                  ChannelSelection& selection);

// The labels of the column showing bus channel `channel` in position `position`: the number
// under the bar is written where the card has a name for the channel (else it keeps its old
// text); the group label is set or cleared.
void WriteColumnLabels(MeterColumn& column, const ChannelSelection& selection, int32_t channel,
                       int32_t position, const ChannelRange& range);
