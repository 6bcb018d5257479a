#pragma once

#include <QRect>
#include <optional>

// The size and placement rules of a meter frame, apart from the window so they can be
// checked on their own. All rectangles are outer window rectangles in screen pixels.
namespace frame_geometry {

// Where KeepOnScreen moves a window, or nothing when it stays. `screen` is the virtual
// screen; an empty one counts as 3200 x 1500.
std::optional<QRect> KeepOnScreen(const QRect& window, QRect screen);

// The outer rectangle after a FitClientSize: `outer` is the current one, `target` the new
// outer size (a dimension of 0 stays free); a changed dimension is centred on the old one.
QRect CentreResize(const QRect& outer, int targetWidth, int targetHeight);

} // namespace frame_geometry
