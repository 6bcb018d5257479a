#pragma once

#include "meters/meter_column.h"
#include "platform/drawing_context.h"

#include <QRect>
#include <algorithm>

// The drawing operations of a meter column on a client drawing context. Bars, markers and
// readouts paint only what differs from what the column's trace says the image holds, and
// return the rectangle they painted (empty when nothing), which the view copies out. Colours
// NormalColor and WarningColor are the global settings at the moment of drawing.

// Fetches the rows that the next bar and marker will most likely paint, those around the
// bar's end and the marker's rows, so that the fetches overlap the ballistics.
void PrefetchColumn(const MeterColumn& column, const DrawingContext& dc);

// Every pixel a bar or marker of the column may paint.
inline QRect LevelArea(const MeterColumn& column) {
    // The bar's black starts above its top, where a marker at the top reaches.
    const ColumnRect& bar = column.bar;
    const int32_t top = std::min(bar.top - column.textHeight / 6, bar.top);
    return QRect(bar.left, top, bar.right - bar.left, bar.bottom - top);
}

// The bar for the column's bar value.
QRect DrawBar(MeterColumn& column, DrawingContext& dc);

// The hold marker for the hold in dB, outlined in the selected pen and filled with the
// warning brush above the switch level, the normal brush otherwise; none below the bottom.
QRect DrawHoldMarker(MeterColumn& column, DrawingContext& dc, COLORREF warningBrush,
                     COLORREF normalBrush);

// The readout value in the readout rectangle, centred, opaque in the context's colours.
QRect DrawReadout(MeterColumn& column, DrawingContext& dc, bool allowOver);

// Tick marks and, as told, dB numbers; see PlanScale.
void DrawScale(const MeterColumn& column, DrawingContext& dc, int32_t pitch, bool numbersLeft,
               bool numbersWhenRight);

// The 3-D frame just outside the rectangle: shadow on the left and top, highlight on the
// right and bottom.
void DrawSunkenFrame(DrawingContext& dc, const RECT& r);
