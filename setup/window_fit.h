#pragma once

#include <cstdint>

// A window's outer rectangle, or the virtual screen, in screen pixels.
struct ScreenBox {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
    bool operator==(const ScreenBox&) const = default;
};

// Where a setup window is created: its stored rectangle, moved back inside the virtual
// screen where it sticks out (a dimension of the screen that is 0 is not checked).
ScreenBox PlaceSetupWindow(ScreenBox window, const ScreenBox& screen);

// The outer rectangle that gives `window`, whose client area measures clientWidth x
// clientHeight now, a client area of wantWidth x wantHeight: a window that keeps its size
// and lies on the screen stays where it is; otherwise the new size is centred on the old
// rectangle and kept on the screen (an empty screen counts as 3200 x 1500).
ScreenBox FitWindowToClient(const ScreenBox& window, int32_t clientWidth, int32_t clientHeight,
                            int32_t wantWidth, int32_t wantHeight, ScreenBox screen);
