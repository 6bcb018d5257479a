#pragma once

#include "platform/drawing_context.h"
#include "setup/param_desc.h"
#include "setup/setup_canvas.h"

#include <span>

class BitmapSurfaceCache;

// Setup-window drawing on a drawing context, with the bitmaps from a surface cache.
class DrawingContextCanvas final : public SetupCanvas {
public:
    DrawingContextCanvas(DrawingContext& dc, BitmapSurfaceCache& bitmaps);

    void Blit(int32_t bitmap, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy,
              BlitMode mode) override;
    COLORREF SelectPen(COLORREF color) override;
    void MoveTo(int32_t x, int32_t y) override;
    void LineTo(int32_t x, int32_t y) override;
    void DrawSunkenEdge(int32_t left, int32_t top, int32_t right, int32_t bottom) override;

private:
    DrawingContext& dc_;
    BitmapSurfaceCache& bitmaps_;
};

// The drawing pass of a setup window on a drawing context: none draws nothing and leaves the
// marks for the next pass.
void DrawParamControls(DrawingContext* dc, std::span<ParamDesc> records, bool full,
                       BitmapSurfaceCache& bitmaps);
