#pragma once

#include "setup/setup_canvas.h"

#include <ostream>
#include <utility>
#include <vector>

// One drawing call, as a setup canvas receives it.
struct CanvasOp {
    enum Kind { Blit, Pen, Move, Line, Edge } kind;
    int32_t a = 0, b = 0, c = 0, d = 0; // blit: x, y, w, h; others: their coordinates or pen
    int32_t bitmap = 0, sx = 0, sy = 0;
    BlitMode mode = BlitMode::Copy;
    bool operator==(const CanvasOp&) const = default;
};

inline CanvasOp BlitOp(int32_t bitmap, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx,
                       int32_t sy, BlitMode mode = BlitMode::Copy) {
    return {CanvasOp::Blit, x, y, w, h, bitmap, sx, sy, mode};
}
inline CanvasOp PenOp(COLORREF color) {
    return {CanvasOp::Pen, static_cast<int32_t>(color)};
}
inline CanvasOp MoveOp(int32_t x, int32_t y) {
    return {CanvasOp::Move, x, y};
}
inline CanvasOp LineOp(int32_t x, int32_t y) {
    return {CanvasOp::Line, x, y};
}
inline CanvasOp EdgeOp(int32_t l, int32_t t, int32_t r, int32_t b) {
    return {CanvasOp::Edge, l, t, r, b};
}

inline std::ostream& operator<<(std::ostream& os, const CanvasOp& op) {
    static const char* const names[] = {"Blit", "Pen", "Move", "Line", "Edge"};
    os << names[op.kind] << "(" << op.a << "," << op.b << "," << op.c << "," << op.d;
    if (op.kind == CanvasOp::Blit)
        os << " from " << op.bitmap << "@" << op.sx << "," << op.sy
           << (op.mode == BlitMode::Paint ? " OR" : "");
    return os << ")";
}

// Keeps every call in order, so tests compare what was drawn without any pixels.
class RecordingCanvas final : public SetupCanvas {
public:
    void Blit(int32_t bitmap, int32_t x, int32_t y, int32_t w, int32_t h, int32_t sx, int32_t sy,
              BlitMode mode) override {
        ops.push_back(BlitOp(bitmap, x, y, w, h, sx, sy, mode));
    }
    COLORREF SelectPen(COLORREF color) override {
        ops.push_back(PenOp(color));
        return std::exchange(pen, color);
    }
    void MoveTo(int32_t x, int32_t y) override { ops.push_back(MoveOp(x, y)); }
    void LineTo(int32_t x, int32_t y) override { ops.push_back(LineOp(x, y)); }
    void DrawSunkenEdge(int32_t l, int32_t t, int32_t r, int32_t b) override {
        ops.push_back(EdgeOp(l, t, r, b));
    }

    std::vector<CanvasOp> ops;
    COLORREF pen = 0;
};
