#include "meters/not_live_drawing.h"

#include "meters/column_drawing.h"

#include <algorithm>
#include <utility>

namespace {

constexpr COLORREF kMessageText = RGB(0, 0, 0);
constexpr COLORREF kMessageBack = RGB(255, 255, 255);
constexpr int32_t kPadding = 4;

} // namespace

void DrawNotLive(DrawingContext& dc, std::span<const MeterColumn> columns, std::string_view message,
                 QSize client) {
    int32_t middle = client.height() / 2;
    bool first = true;
    for (const MeterColumn& column : columns) {
        if (!column.enabled)
            continue;
        const ColumnRect& bar = column.bar;
        dc.FillSolidRect({bar.left, bar.top, bar.right, bar.bottom}, kNotLiveBarColor);
        if (std::exchange(first, false))
            middle = (bar.top + bar.bottom) / 2;
    }
    if (message.empty())
        return;
    const QSize text = dc.GetTextExtent(message);
    // Kept inside the client area: a narrow window clips the text, not the box.
    const int32_t width = std::min(text.width() + 2 * kPadding, client.width() - 2);
    const int32_t left = (client.width() - width) / 2;
    const int32_t top = middle - text.height() / 2 - kPadding;
    const RECT box{left, top, left + width, top + text.height() + 2 * kPadding};
    DrawSunkenFrame(dc, box);
    dc.SetTextColor(kMessageText);
    dc.SetBkColor(kMessageBack);
    dc.SetTextAlign(TA_CENTER);
    dc.ExtTextOut(client.width() / 2, top + kPadding, ETO_OPAQUE | ETO_CLIPPED, &box, message);
}
