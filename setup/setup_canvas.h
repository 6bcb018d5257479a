#pragma once

#include "platform/colorref.h"

#include <cstdint>

// How a blit combines the bitmap with the window: a plain copy, or the bitwise OR of both
// (labels painted over a picture).
enum class BlitMode { Copy, Paint };

// What drawing a setup window needs of its drawing context: rectangles copied from the
// process's loaded bitmaps (addressed by resource id), one-pixel lines that leave out their
// end point, and the sunken edge of a selected control.
class SetupCanvas {
public:
    // Copies the w x h rectangle at (sx, sy) of bitmap `bitmap` to (x, y). A bitmap that has
    // no loaded surface draws nothing; nothing is copied from outside a bitmap.
    virtual void Blit(int32_t bitmap, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx,
                      int32_t sy, BlitMode mode) = 0;
    // Returns the pen selected before.
    virtual COLORREF SelectPen(COLORREF color) = 0;
    virtual void MoveTo(int32_t x, int32_t y) = 0;
    virtual void LineTo(int32_t x, int32_t y) = 0;
    // The outer sunken edge on the right and bottom sides of the rectangle, inside it.
    virtual void DrawSunkenEdge(int32_t left, int32_t top, int32_t right, int32_t bottom) = 0;

protected:
    ~SetupCanvas() = default;
};
