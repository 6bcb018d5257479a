#pragma once

#include "meters/meter_column.h"
#include "platform/drawing_context.h"

#include <QSize>
#include <span>
#include <string_view>

// A meter that no card feeds, drawn over its full repaint so that nobody takes it for a
// silent channel: the bars of the enabled columns filled grey, and `message` in a framed box
// across the middle of the bars (of the client area when no column is enabled), in the
// context's font.
void DrawNotLive(DrawingContext& dc, std::span<const MeterColumn> columns, std::string_view message,
                 QSize client);

// The grey of a bar that shows no level.
inline constexpr COLORREF kNotLiveBarColor = RGB(112, 112, 112);
