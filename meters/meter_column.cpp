#include "meters/meter_column.h"

#include "setup/number_text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

namespace {

constexpr double kCompressedTopDb = 0;
constexpr double kCompressedBottomDb = -64;
// 64 / 286.55: 286.55 is the weighted length of 0..-64 dB on the compressed scale.
constexpr double kCompressedNormalisation = 0.22334671087070318;

constexpr double kOverReadoutDb = 0.2;
constexpr double kUnderflowReadoutDb = -150;

int32_t Truncate(double value) {
    return static_cast<int32_t>(std::trunc(value));
}

// Pixels-per-dB weights of the compressed scale before normalisation, by absolute dB.
double CompressedWeight(double level, double topLevel) {
    double a = 7.3 * std::max(level - topLevel, -20 - topLevel);
    double y = level + 20;
    if (y < 0) {
        a += 5.7 * std::max(y, -10.0);
        y += 10;
        if (y < 0) {
            a += 4.1 * std::max(y, -10.0);
            y += 10;
            if (y < 0) {
                a += 3.43 * std::max(y, -5.0);
                y += 5;
                if (y < 0) {
                    a += 2.28 * std::max(y, -5.0);
                    y += 5;
                    if (y < 0)
                        a += y;
                }
            }
        }
    }
    return a;
}

} // namespace

int32_t MeterColumn::LevelToOffset(double level) const {
    if (compressed == 0)
        return Truncate((level - topLevel) * pixelsPerDb);
    return Truncate(CompressedWeight(level, topLevel) * pixelsPerDb * kCompressedNormalisation);
}

void ClearColumn(MeterColumn& column) {
    column.enabled = 0;
    column.numberLabel[0] = '\0';
    ChannelBallistics& b = column.ballistics;
    b.peak = 0;
    b.hold = 0;
    b.holdTimeLeft = 0;
    b.meanSquare = 0;
    b.fscCount = 0;
}

void ForgetDrawing(MeterColumn& column) {
    column.trace = ColumnTrace{};
}

void SetColumnScale(MeterColumn& column, bool compressedScale, double topLevel, double switchLevel,
                    double bottomLevel, int32_t span) {
    column.switchLevel = switchLevel;
    if (compressedScale) {
        column.compressed = 1;
        column.topLevel = kCompressedTopDb;
        column.bottomLevel = kCompressedBottomDb;
        column.pixelsPerDb = -span / (kCompressedTopDb - kCompressedBottomDb);
    } else {
        column.compressed = 0;
        column.topLevel = topLevel;
        column.bottomLevel = bottomLevel;
        column.pixelsPerDb = span / (bottomLevel - topLevel);
    }
}

BarRows PlanBar(const MeterColumn& column, double value) {
    const int32_t top = column.bar.top;
    const int32_t bottom = column.bar.bottom;
    BarRows rows;
    rows.row = std::clamp(top + column.LevelToOffset(value), top, bottom);
    rows.blackTop = top - column.textHeight / 6;
    rows.warningTop = rows.warningBottom = rows.normalTop = rows.normalBottom = bottom - 1;
    const int32_t switchRow = top + column.LevelToOffset(column.switchLevel);
    if (value > column.switchLevel && column.switchLevel < column.topLevel) {
        rows.warningTop = rows.row + 1;
        rows.warningBottom = std::max(rows.warningTop, std::min(switchRow, bottom - 1));
    }
    if (column.switchLevel > column.bottomLevel)
        rows.normalTop = std::min(std::max(switchRow, rows.row) + 1, bottom - 1);
    return rows;
}

namespace {

enum class RowPaint { Keep, Black, Warning, Normal };

RowPaint PaintOf(const BarRows& bar, int32_t row) {
    if (row >= bar.blackTop && row < bar.row)
        return RowPaint::Black;
    if (row >= bar.warningTop && row < bar.warningBottom)
        return RowPaint::Warning;
    if (row >= bar.normalTop && row < bar.normalBottom)
        return RowPaint::Normal;
    return RowPaint::Keep;
}

} // namespace

RowRanges ChangedBarRows(const BarRows& was, const BarRows& now) {
    // What a plan paints changes only at its run boundaries; compare the two plans once per
    // stretch between any two consecutive boundaries of either.
    int32_t edges[] = {was.blackTop,   was.row,           was.warningTop, was.warningBottom,
                       was.normalTop,  was.normalBottom,  now.blackTop,   now.row,
                       now.warningTop, now.warningBottom, now.normalTop,  now.normalBottom};
    std::sort(std::begin(edges), std::end(edges));
    const int32_t* last = std::unique(std::begin(edges), std::end(edges));
    RowRanges changed;
    for (const int32_t* edge = edges; edge + 1 < last; ++edge) {
        if (PaintOf(was, *edge) == PaintOf(now, *edge))
            continue;
        if (changed.count > 0 && changed.ranges[changed.count - 1].end == *edge)
            changed.ranges[changed.count - 1].end = edge[1];
        else
            changed.ranges[changed.count++] = {*edge, edge[1]};
    }
    return changed;
}

HoldMarker HoldMarkerAt(const MeterColumn& column, int32_t row, bool warning) {
    const ColumnRect& r = column.bar;
    const int32_t d = (r.right - r.left) / 5;
    const int32_t e = column.textHeight / 6;
    const int32_t low = std::min(row + e, r.bottom - 1);
    HoldMarker marker{.shown = true,
                      .warning = warning,
                      .row = row,
                      .points = {{r.left + d, row - e},
                                 {r.right - d, row - e},
                                 {r.right - 1, row},
                                 {r.right - d, low},
                                 {r.left + d, low},
                                 {r.left + 1, row}},
                      .topRow = std::min(row - e, low),
                      .bottomRow = std::max(row, low)};
    return marker;
}

HoldMarker PlanHoldMarker(const MeterColumn& column, double holdDb) {
    if (holdDb < column.bottomLevel)
        return {};
    const int32_t row = column.bar.top + std::max(column.LevelToOffset(holdDb), 0);
    return HoldMarkerAt(column, row, holdDb > column.switchLevel);
}

std::string_view ReadoutText(double value, bool allowOver, char (&text)[8]) {
    if (allowOver && value > kOverReadoutDb) {
        std::strcpy(text, "OVR");
    } else if (value < kUnderflowReadoutDb) {
        std::strcpy(text, "UFL");
    } else {
        const std::string printed = FormatFixed(value, 1);
        const size_t length = std::min(printed.size(), sizeof text - 1);
        std::memcpy(text, printed.data(), length);
        text[length] = '\0';
    }
    return text;
}
