#include "app/frame_geometry.h"

#include <algorithm>

namespace frame_geometry {

QRect ApplySizingLock(int edge, QRect r, int fixedWidth, int fixedHeight) {
    // Work on exclusive right/bottom edges as the window system does.
    int left = r.left(), top = r.top();
    int right = left + r.width(), bottom = top + r.height();
    if (fixedWidth != 0) {
        if (edge == kLeft || edge == kTopLeft || edge == kBottomLeft)
            right = left + fixedWidth;
        else if (edge == kRight || edge == kTopRight || edge == kBottomRight)
            left = right - fixedWidth;
    }
    if (fixedHeight != 0) {
        if (edge == kBottom || edge == kBottomLeft || edge == kBottomRight)
            top = bottom - fixedHeight;
        else if (edge == kTop || edge == kTopLeft || edge == kTopRight)
            bottom = top + fixedHeight;
    }
    return QRect(left, top, right - left, bottom - top);
}

int MaxTrackWidth(int fixedWidth) {
    return std::max(fixedWidth + 200, 1300);
}

std::optional<QRect> KeepOnScreen(const QRect& window, QRect screen) {
    const int W = screen.width() > 0 ? screen.width() : 3200;
    const int H = screen.height() > 0 ? screen.height() : 1500;
    const int X0 = screen.width() > 0 ? screen.left() : 0;
    const int width = window.width();
    int leftLimit = X0, rightLimit = W;
    if (width > W) {
        leftLimit = X0 + 2 * (W - width);
        rightLimit = 2 * width - W;
    }
    int left = window.left(), top = window.top();
    const int right = left + width, bottom = top + window.height();
    bool moved = false;
    if (left < leftLimit) {
        left = leftLimit;
        moved = true;
    } else if (right > rightLimit) {
        left -= right - rightLimit;
        moved = true;
    }
    if (top < 0) {
        top = 0;
        moved = true;
    } else if (bottom > H) {
        top -= bottom - H;
        moved = true;
    }
    if (!moved)
        return std::nullopt;
    return QRect(left, top, width, window.height());
}

QRect CentreResize(const QRect& outer, int targetWidth, int targetHeight) {
    int l = outer.left(), t = outer.top(), w = outer.width(), h = outer.height();
    if (targetWidth != 0 && targetWidth != w) {
        l += (w - targetWidth) / 2;
        w = targetWidth;
    }
    if (targetHeight != 0 && targetHeight != h) {
        t += (h - targetHeight) / 2;
        h = targetHeight;
    }
    return QRect(l, t, w, h);
}

} // namespace frame_geometry
