#include "setup/drawing_context_canvas.h"

#include "setup/bitmap_cache.h"
#include "setup/param_drawing.h"

DrawingContextCanvas::DrawingContextCanvas(DrawingContext& dc, BitmapSurfaceCache& bitmaps)
    : dc_(dc), bitmaps_(bitmaps) {}

void DrawingContextCanvas::Blit(int32_t bitmap, int32_t x, int32_t y, int32_t w, int32_t h,
                                int32_t sx, int32_t sy, BlitMode mode) {
    if (const QImage* surface = bitmaps_.GetBitmapDC(bitmap); surface && !surface->isNull())
        dc_.BitBlt(x, y, w, h, *surface, sx, sy, mode == BlitMode::Paint ? SRCPAINT : SRCCOPY);
}

COLORREF DrawingContextCanvas::SelectPen(COLORREF color) {
    return dc_.SelectPen(color);
}

void DrawingContextCanvas::MoveTo(int32_t x, int32_t y) {
    dc_.MoveToEx(x, y);
}

void DrawingContextCanvas::LineTo(int32_t x, int32_t y) {
    dc_.LineTo(x, y);
}

void DrawingContextCanvas::DrawSunkenEdge(int32_t left, int32_t top, int32_t right,
                                          int32_t bottom) {
    dc_.DrawEdge({left, top, right, bottom}, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
}

void DrawParamControls(DrawingContext* dc, std::span<ParamDesc> records, bool full,
                       BitmapSurfaceCache& bitmaps) {
    if (!dc)
        return;
    DrawingContextCanvas canvas(*dc, bitmaps);
    DrawParamControls(&canvas, records, full);
}
