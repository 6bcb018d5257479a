#include "meters/column_drawing.h"

#include "app/global_settings.h"
#include "meters/meter_scale.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr COLORREF kBlack = 0;

// Rows painted so far, as one span.
struct PaintedRows {
    int32_t first = 0;
    int32_t end = 0;

    void Add(int32_t from, int32_t to) {
        if (first >= end) {
            first = from;
            end = to;
        } else {
            first = std::min(first, from);
            end = std::max(end, to);
        }
    }
    bool Empty() const { return first >= end; }
    bool Overlaps(int32_t firstRow, int32_t lastRow) const {
        return !Empty() && first <= lastRow && end > firstRow;
    }
    // The painted rows across the whole bar.
    QRect Across(const ColumnRect& bar) const {
        return Empty() ? QRect() : QRect(bar.left, first, bar.right - bar.left, end - first);
    }
};

// Paints the rows of `range` that the plan paints.
void PaintBarRows(const MeterColumn& column, DrawingContext& dc, const BarRows& plan,
                  RowRange range, COLORREF normal, COLORREF warning, PaintedRows& painted) {
    const ColumnRect& bar = column.bar;
    auto fill = [&](int32_t left, int32_t right, int32_t from, int32_t to, COLORREF color) {
        from = std::max(from, range.first);
        to = std::min(to, range.end);
        if (from >= to || left >= right)
            return;
        dc.FillSolidRect({left, from, right, to}, color);
        painted.Add(from, to);
    };
    fill(bar.left, bar.right, plan.blackTop, plan.row, kBlack);
    fill(bar.left + 1, bar.right - 1, plan.warningTop, plan.warningBottom, warning);
    fill(bar.left + 1, bar.right - 1, plan.normalTop, plan.normalBottom, normal);
}

} // namespace

void PrefetchColumn(const MeterColumn& column, const DrawingContext& dc) {
    // Between two reports a bar's end moves a few rows.
    constexpr int32_t kBarReach = 6;
    const ColumnTrace& trace = column.trace;
    const ColumnRect& bar = column.bar;
    if (!trace.barValid)
        return;
    dc.PrefetchRows(bar.left, trace.bar.row - kBarReach, bar.right, trace.bar.row + kBarReach);
    if (trace.markerDrawn) {
        const HoldMarker marker = HoldMarkerAt(column, trace.markerRow, false);
        dc.PrefetchRows(bar.left, marker.topRow - 1, bar.right, marker.bottomRow + 2);
    }
}

QRect DrawBar(MeterColumn& column, DrawingContext& dc) {
    const COLORREF normal = Globals().NormalColor;
    const COLORREF warning = Globals().WarningColor;
    ColumnTrace& trace = column.trace;
    const BarRows now = PlanBar(column, column.ballistics.barValue);
    RowRanges rows;
    if (trace.barValid && trace.normalColor == normal && trace.warningColor == warning)
        rows = ChangedBarRows(trace.bar, now);
    else
        rows.ranges[rows.count++] = {now.blackTop, column.bar.bottom};
    PaintedRows painted;
    for (int i = 0; i < rows.count; ++i)
        PaintBarRows(column, dc, now, rows.ranges[i], normal, warning, painted);
    if (trace.markerDrawn) {
        const HoldMarker old = HoldMarkerAt(column, trace.markerRow, false);
        trace.markerDamaged |= painted.Overlaps(old.topRow, old.bottomRow);
    }
    trace.barValid = true;
    trace.bar = now;
    trace.normalColor = normal;
    trace.warningColor = warning;
    return painted.Across(column.bar);
}

QRect DrawHoldMarker(MeterColumn& column, DrawingContext& dc, COLORREF warningBrush,
                     COLORREF normalBrush) {
    ColumnTrace& trace = column.trace;
    const HoldMarker now = PlanHoldMarker(column, column.ballistics.holdDb);
    const COLORREF fill = now.warning ? warningBrush : normalBrush;
    const bool same = trace.markerDrawn && now.shown && now.row == trace.markerRow &&
                      fill == trace.markerFill && dc.Pen() == trace.markerPen;
    PaintedRows painted;
    if (trace.markerDrawn && !same && trace.barValid) {
        // Give the rows of the old marker back to the bar before the new one is drawn.
        const HoldMarker old = HoldMarkerAt(column, trace.markerRow, false);
        PaintBarRows(column, dc, trace.bar, {old.topRow, old.bottomRow + 1}, trace.normalColor,
                     trace.warningColor, painted);
    }
    if (now.shown && (!same || trace.markerDamaged)) {
        POINT points[6];
        for (int i = 0; i < 6; ++i)
            points[i] = {now.points[i][0], now.points[i][1]};
        const COLORREF previous = dc.SelectBrush(fill);
        dc.Polygon(points, 6);
        dc.SelectBrush(previous);
        painted.Add(now.topRow, now.bottomRow + 1);
    }
    trace.markerDrawn = now.shown;
    trace.markerDamaged = false;
    trace.markerRow = now.row;
    trace.markerFill = fill;
    trace.markerPen = dc.Pen();
    return painted.Across(column.bar);
}

QRect DrawReadout(MeterColumn& column, DrawingContext& dc, bool allowOver) {
    char text[8];
    ReadoutText(column.ballistics.readoutValue, allowOver, text);
    ColumnTrace& trace = column.trace;
    if (trace.readoutValid && std::strcmp(trace.readoutText, text) == 0 &&
        trace.readoutTextColor == dc.TextColor() && trace.readoutBackColor == dc.BkColor())
        return {};
    const ColumnRect& r = column.readout;
    const RECT box{r.left, r.top, r.right, r.bottom};
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.ExtTextOut(column.centerX, r.top, ETO_OPAQUE | ETO_CLIPPED, &box, text);
    trace.readoutValid = true;
    std::memcpy(trace.readoutText, text, sizeof text);
    trace.readoutTextColor = dc.TextColor();
    trace.readoutBackColor = dc.BkColor();
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

void DrawScale(const MeterColumn& column, DrawingContext& dc, int32_t pitch, bool numbersLeft,
               bool numbersWhenRight) {
    const ScalePlan plan = PlanScale(column, pitch, numbersLeft, numbersWhenRight);
    dc.SetTextAlign(plan.numbersLeft ? TA_RIGHT : TA_LEFT);
    for (const ScaleNumber& number : plan.numbers)
        dc.TextOut(number.x, number.y, number.text);
    for (const ScaleTick& tick : plan.ticks) {
        dc.MoveToEx(column.centerX - tick.halfWidth, tick.row);
        dc.LineTo(column.centerX + tick.halfWidth, tick.row);
    }
}

void DrawSunkenFrame(DrawingContext& dc, const RECT& r) {
    const COLORREF previous = dc.SelectPen(GetSysColor(COLOR_BTNSHADOW));
    dc.MoveToEx(r.left - 1, r.bottom);
    dc.LineTo(r.left - 1, r.top - 1);
    dc.LineTo(r.right, r.top - 1);
    dc.SelectPen(GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.MoveToEx(r.right, r.top - 1);
    dc.LineTo(r.right, r.bottom);
    dc.LineTo(r.left - 1, r.bottom);
    dc.SelectPen(previous);
}
