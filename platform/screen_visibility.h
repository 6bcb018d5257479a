#pragma once

#include <QRect>
#include <QRegion>
#include <cstdint>
#include <span>

struct xcb_connection_t;

// What of an X window the screen shows, so that a window sends the server only pixels that
// can be seen. Windows without a compositing manager keep no pixels where they are covered:
// the server asks for those again (an Expose) when they come back into view.

// The part of a window at `windowOnRoot` that the screen shows, in window coordinates: the
// screen's rectangle less the rectangles of the windows stacked above the window's top-level
// ancestor.
QRegion UncoveredPart(const QRect& windowOnRoot, const QRect& screen, std::span<const QRect> above);

// Reads from the server what of `window` the screen shows, in window coordinates: nothing
// while it or an ancestor is unmapped (minimised), all of it while a compositing manager keeps
// the pixels of covered windows. A window stacked above whose shape is not its rectangle is
// taken as covering nothing. Costs a few round trips: ask again only when
// ScreenStackingGeneration() has changed or the window itself moved.
QRegion ReadVisibleRegion(xcb_connection_t* connection, uint32_t window);

// From the first call on, the server reports the top-level windows of the screen being
// mapped, unmapped, moved or restacked to this program; each such report counts up
// ScreenStackingGeneration(). The reports Qt did not ask for are kept from it.
void WatchScreenStacking(xcb_connection_t* connection);
uint64_t ScreenStackingGeneration();
