#include "app/frame_geometry.h"

namespace frame_geometry {

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
