#include "setup/window_fit.h"

#include <algorithm>

namespace {

constexpr int32_t kDefaultScreenWidth = 3200;
constexpr int32_t kDefaultScreenHeight = 1500;
// How much of a window must stay reachable on the screen.
constexpr int32_t kVisibleMargin = 30;
constexpr int32_t kRightMargin = 20;

// One axis of the fit, in coordinates relative to the screen's origin.
int32_t FitAxis(int32_t pos, int32_t size, int32_t newSize, int32_t screen, int32_t farMargin) {
    if (newSize == size && pos + size >= kVisibleMargin && pos <= screen - farMargin)
        return pos;
    const int32_t centred = pos + (size - newSize) / 2;
    if (newSize < screen)
        return std::max(0, std::min(centred, screen - newSize));
    return std::max(-newSize / 2, std::min(centred, screen - newSize / 2));
}

} // namespace

ScreenBox PlaceSetupWindow(ScreenBox window, const ScreenBox& screen) {
    if (screen.height != 0)
        window.y =
            screen.y + std::max(0, std::min(screen.height - window.height, window.y - screen.y));
    if (screen.width != 0)
        window.x =
            screen.x + std::max(0, std::min(screen.width - window.width, window.x - screen.x));
    return window;
}

ScreenBox FitWindowToClient(const ScreenBox& window, int32_t clientWidth, int32_t clientHeight,
                            int32_t wantWidth, int32_t wantHeight, ScreenBox screen) {
    if (screen.width == 0)
        screen.width = kDefaultScreenWidth;
    if (screen.height == 0)
        screen.height = kDefaultScreenHeight;
    ScreenBox fitted;
    fitted.width = window.width - clientWidth + wantWidth;
    fitted.height = window.height - clientHeight + wantHeight;
    fitted.x = screen.x +
               FitAxis(window.x - screen.x, window.width, fitted.width, screen.width, kRightMargin);
    fitted.y = screen.y + FitAxis(window.y - screen.y, window.height, fitted.height, screen.height,
                                  kVisibleMargin);
    return fitted;
}
