#pragma once

#include <QRect>
#include <QRegion>
#include <span>
#include <vector>

// Which rectangles to send to the display for the rectangles of an image that changed during a
// poll, of which only `visible` is on the screen. Every changed pixel that can be seen is in
// one of them, and nothing that cannot be seen is (a pixel may be in two: both copies carry the
// same image). Neighbours are sent as one
// rectangle where the pixels this adds cost less than the request it saves: a display server
// spends more on looking up a request's window and clip than on a thousand pixels.
std::vector<QRect> PlanPushes(std::span<const QRect> changed, const QRegion& visible);
