#pragma once

#include "meters/ballistics.h"
#include "platform/colorref.h"

#include <cstdint>
#include <string_view>

struct ColumnRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// The rows the bar rules paint for a value. Rows [blackTop, row) are black across the whole
// bar (the strip above the top included, where the hold marker reaches); inside the one-pixel
// outline, [warningTop, warningBottom) takes WarningColor and [normalTop, normalBottom)
// NormalColor. Row `row`, the switch row and the outline keep what was there before.
struct BarRows {
    int32_t blackTop = 0;
    int32_t row = 0;
    int32_t warningTop = 0;
    int32_t warningBottom = 0;
    int32_t normalTop = 0;
    int32_t normalBottom = 0;
};

// What the last drawing left in a column's part of the image, so that the next report paints
// only the rows whose colour changes and the image still holds exactly what painting every
// row would give. A full repaint forgets it.
struct ColumnTrace {
    bool barValid = false; // false: the next bar paints every row its rules paint
    BarRows bar;
    COLORREF normalColor = 0;
    COLORREF warningColor = 0;

    bool markerDrawn = false;
    bool markerDamaged = false; // a bar row under the marker was painted since it was drawn
    int32_t markerRow = 0;
    COLORREF markerFill = 0;
    COLORREF markerPen = 0;

    // Valid while no font or geometry changed: a full repaint, which any such change brings,
    // forgets it.
    bool readoutValid = false;
    char readoutText[8] = {};
    COLORREF readoutTextColor = 0;
    COLORREF readoutBackColor = 0;

    // Drawing was skipped while the screen did not show the column (the rest of the trace
    // still describes the image): it is drawn as soon as it shows again.
    bool levelsBehind = false;
};

// One vertical level bar of a meter window: bar and readout geometry, labels, the dB scale
// mapping and the channel's ballistic state.
struct MeterColumn {
    int32_t enabled = 0;
    ColumnRect bar;
    ColumnRect readout;
    char numberLabel[10] = {};
    char groupLabel[10] = {};
    int32_t centerX = 0;
    int32_t textHeight = 0;
    int32_t compressed = 0;
    double topLevel = 0;
    double switchLevel = 0;
    double bottomLevel = 0;
    double pixelsPerDb = 0; // negative: lower levels lie lower on the screen
    ChannelBallistics ballistics;
    ColumnTrace trace;

    // Pixel offset of `level` (dB) below the bar's top row; negative above the top.
    int32_t LevelToOffset(double level) const;
};

// Disables the column and clears its label and ballistic state.
void ClearColumn(MeterColumn& column);

// After a full repaint: the next bar, marker and readout are drawn whole.
void ForgetDrawing(MeterColumn& column);

// The scale fields from the parameters, for a bar of `span` rows: the compressed scale runs
// from 0 to -64 dB, the linear one from Top to Bottom Level.
void SetColumnScale(MeterColumn& column, bool compressedScale, double topLevel, double switchLevel,
                    double bottomLevel, int32_t span);

BarRows PlanBar(const MeterColumn& column, double value);

// Half-open row ranges, in order and apart.
struct RowRange {
    int32_t first = 0;
    int32_t end = 0;
};
struct RowRanges {
    static constexpr int kCapacity = 12;
    int count = 0;
    RowRange ranges[kCapacity];
};

// The rows that a bar drawn by `now` paints differently from one drawn by `was`: only these
// need painting when the image holds `was`.
RowRanges ChangedBarRows(const BarRows& was, const BarRows& now);

// The hexagon of the hold marker at `holdDb`; none below the bottom level.
struct HoldMarker {
    bool shown = false;
    bool warning = false; // filled with the warning brush, else the normal one
    int32_t row = 0;      // yh
    int32_t points[6][2] = {};
    int32_t topRow = 0; // first and last row the outline covers
    int32_t bottomRow = 0;
};
HoldMarker PlanHoldMarker(const MeterColumn& column, double holdDb);
// The marker's shape at row `row` of the column.
HoldMarker HoldMarkerAt(const MeterColumn& column, int32_t row, bool warning);

// "OVR" (allowOver, above 0.2 dB), "UFL" (below -150 dB) or the value with one decimal, into
// `text` with its terminator; the returned view is the text.
std::string_view ReadoutText(double value, bool allowOver, char (&text)[8]);
