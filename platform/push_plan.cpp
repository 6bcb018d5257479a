#include "platform/push_plan.h"

#include <algorithm>

namespace {

// Pixels a server copies in about the time one request costs it.
constexpr qint64 kRequestPixels = 1024;

qint64 Area(const QRect& r) {
    return r.isEmpty() ? 0 : qint64{r.width()} * r.height();
}

} // namespace

std::vector<QRect> PlanPushes(std::span<const QRect> changed, const QRegion& visible) {
    // Left to right: a meter's columns report one after another, so neighbours are adjacent.
    std::vector<QRect> sorted;
    sorted.reserve(changed.size());
    for (const QRect& rect : changed)
        if (!rect.isEmpty())
            sorted.push_back(rect);
    std::sort(sorted.begin(), sorted.end(),
              [](const QRect& a, const QRect& b) { return a.left() < b.left(); });
    std::vector<QRect> joined;
    qint64 joinedArea = 0; // of the changed rectangles in joined.back()
    for (const QRect& rect : sorted) {
        if (!joined.empty()) {
            const QRect both = joined.back() | rect;
            if (Area(both) <= joinedArea + Area(rect) + kRequestPixels) {
                joined.back() = both;
                joinedArea += Area(rect);
                continue;
            }
        }
        joined.push_back(rect);
        joinedArea = Area(rect);
    }
    std::vector<QRect> pushes;
    for (const QRect& rect : joined) {
        if (visible.rectCount() == 1) {
            if (const QRect seen = rect & visible.boundingRect(); !seen.isEmpty())
                pushes.push_back(seen);
            continue;
        }
        for (const QRect& seen : visible& rect)
            pushes.push_back(seen);
    }
    return pushes;
}
