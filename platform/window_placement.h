#pragma once

// True where the compositor places top-level windows and never tells a client where they are
// (Wayland): Qt then ignores moves and reports a position of its own making, so a window's
// position is only what the program last asked for.
bool CompositorPlacesWindows();
