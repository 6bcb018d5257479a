#include "setup/graphic_controls.h"

#include "setup/control_text.h"
#include "setup/glyph_cells.h"
#include "setup/number_text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kLabelCell = 6;
constexpr int32_t kScaleLabelHeight = 10;
// A scale whose labels lie closer than a pixel is unreadable anyway; the cap keeps a tiny
// step from looping for ages.
constexpr int kMaxScaleLabels = 4096;

// floor(z + 0.5) as a pixel count; NaN (a record with max equal to min) counts as 0.
int32_t RoundPixels(double z) {
    const double r = std::floor(z + 0.5);
    if (!(r == r))
        return 0;
    return static_cast<int32_t>(std::clamp(r, -1e9, 1e9));
}

int32_t TruncPixels(double z) {
    if (!(z == z))
        return 0;
    return static_cast<int32_t>(std::clamp(std::trunc(z), -1e9, 1e9));
}

// The pixel quantum of the types that divide by it; a step below 1 would divide by zero, so
// such a record moves in single pixels.
int32_t Quantum(const ParamDesc& r) {
    return std::max(TruncPixels(r.step), 1);
}

// The value's distance from min over the range, in `extent` pixels.
double Scaled(const ParamDesc& r, double value, double extent) {
    return (value - r.min) * extent / (r.max - r.min);
}

int32_t Snap(int32_t a, int32_t q) {
    return q * ((a + q / 2) / q);
}

// Types 10, 11 and 15.
int32_t BarLevel(const ParamDesc& r) {
    return std::clamp(Snap(RoundPixels(Scaled(r, r.value, r.h)), Quantum(r)), 0, r.h);
}

// Compression of the compressed-scale types: half the slope below -20 dB, half again below
// -30 dB.
double Compressed(double v) {
    if (v < -20)
        v = (v + 20) * 0.5 - 20;
    if (v < -30)
        v = (v + 30) * 0.5 - 30;
    return v;
}

// Types 16, 17, 32 and 33: the top `reserve` pixels are kept for values above 0.5 (an over).
int32_t ReservedLevel(const ParamDesc& r, double value, double reserve) {
    if (r.value > 0.5)
        return r.h;
    const int32_t a = RoundPixels(Scaled(r, value, r.h - reserve));
    return std::clamp(Snap(a, Quantum(r)), 0, r.h);
}

int32_t Level(const ParamDesc& r) {
    switch (r.type) {
    case kControlReservedBar:
    case kControlReservedSegment:
        return ReservedLevel(r, r.value, 3 * r.step);
    case kControlCompressedBar:
    case kControlCompressedSegment:
        return ReservedLevel(r, Compressed(r.value), 3.0 * Quantum(r));
    default:
        return BarLevel(r);
    }
}

// Lit rows at the bottom, unlit above: lit face at source x 0, unlit at source x w.
void DrawBar(SetupCanvas& c, const ParamDesc& r, int32_t a) {
    c.Blit(r.bitmap, r.x, r.y, r.w, r.h - a, r.w, 0, BlitMode::Copy);
    c.Blit(r.bitmap, r.x, r.y + r.h - a, r.w, a, 0, r.h - a, BlitMode::Copy);
}

// The top min(a, thickness) rows of a lit bar of height a.
void DrawSegment(SetupCanvas& c, const ParamDesc& r, int32_t a, int32_t thickness) {
    c.Blit(r.bitmap, r.x, r.y + r.h - a, r.w, std::min(a, thickness), 0, r.h - a, BlitMode::Copy);
}

void DrawUnlitFace(SetupCanvas& c, const ParamDesc& r) {
    c.Blit(r.bitmap, r.x, r.y, r.w, r.h, r.w, 0, BlitMode::Copy);
}

// Types 12 to 14: 3-pixel segments; the face at source x 10 is the unlit column.
void DrawSegmentedBar(SetupCanvas& c, const ParamDesc& r) {
    const int32_t a = RoundPixels(Scaled(r, r.value, r.h));
    const int32_t offset = r.type == kControlSegmentCapBar       ? 3
                           : r.type == kControlSegmentWideCapBar ? 5
                                                                 : 2;
    const int32_t lit = std::clamp((a + offset) / 3 * 3, 0, r.h);
    if (r.type == kControlSegmentSplitBar) {
        c.Blit(r.bitmap, r.x, r.y, r.w, r.h - lit, 0, 0, BlitMode::Copy);
        c.Blit(r.bitmap, r.x, r.y + r.h - lit, r.w, lit, 10, r.h - lit, BlitMode::Copy);
        return;
    }
    c.Blit(r.bitmap, r.x, r.y, r.w, r.h, 10, 0, BlitMode::Copy);
    const int32_t cap = r.type == kControlSegmentCapBar ? std::min({lit, 6, r.h - lit + 4})
                                                        : std::min({lit, 9, r.h - lit + 3});
    c.Blit(r.bitmap, r.x, r.y + r.h - lit, r.w, cap, 0, r.h - lit, BlitMode::Copy);
}

// Types 20 and 21: a bar growing to the right in 4-pixel steps, with the top 24 dB spread.
int32_t HorizontalLevel(const ParamDesc& r) {
    if (r.value > 0.5)
        return r.w;
    const double span = r.max - r.min + 24;
    int32_t p = RoundPixels((r.value - r.min) * (r.w - 12) / span);
    if (r.value > -24)
        p += TruncPixels((r.value - r.min - 56) * (r.w - 12) / span);
    return std::clamp((p + 3) / 4 * 4, 0, r.w);
}

void DrawHorizontal(SetupCanvas& c, const ParamDesc& r) {
    const int32_t lit = HorizontalLevel(r);
    if (r.type == kControlHorizontalBar) {
        c.Blit(r.bitmap, r.x, r.y, lit, r.h, 0, 0, BlitMode::Copy);
        c.Blit(r.bitmap, r.x + lit, r.y, r.w - lit, r.h, lit, 10, BlitMode::Copy);
        return;
    }
    const int32_t width = r.value > 0.5 ? 9 : 5;
    const int32_t left = std::max(0, lit - width);
    c.Blit(r.bitmap, r.x + left, r.y, std::min(lit, width), r.h, left, 0, BlitMode::Copy);
}

void DrawHorizontalSegment(SetupCanvas& c, const ParamDesc& r) {
    const int32_t q = Quantum(r);
    const int32_t a = RoundPixels(Scaled(r, r.value, r.w));
    const int32_t end = std::clamp(q * (a / q + 1), 0, r.w);
    c.Blit(r.bitmap, r.x, r.y, r.w, r.h, 0, r.h, BlitMode::Copy);
    const int32_t left = std::max(0, end - q);
    c.Blit(r.bitmap, r.x + left, r.y, std::min(end, q), r.h, left, 0, BlitMode::Copy);
}

void DrawNumericScale(SetupCanvas& c, const ParamDesc& r) {
    if (!(r.step > 0))
        return;
    const GlyphCells cells{r.bitmap, kLabelCell, kScaleLabelHeight, BlitMode::Paint};
    const int32_t q = Quantum(r);
    double v = std::floor(r.max / q) * q;
    for (int n = 0; v >= r.min && n < kMaxScaleLabels; ++n, v -= r.step) {
        const int32_t top = r.y - RoundPixels((v - r.max) * r.h / (r.max - r.min)) - 4;
        DrawGlyphCells(c, cells, FormatFixed(v, 0), r.x + r.w, top, r.x);
    }
}

void DrawChoiceLabels(SetupCanvas& c, const ParamDesc& r) {
    const GlyphCells cells{r.bitmap, kLabelCell, r.h, BlitMode::Paint};
    const int32_t last = std::max(TruncPixels(r.max), 0);
    for (int32_t i = 0; i <= last; ++i) {
        const std::string_view text = ChoiceEntry(r, i);
        const int32_t length = static_cast<int32_t>(text.size());
        if (r.type == kControlChoiceRow) {
            const int32_t end =
                last > 0 ? r.x + i * r.w / last + length * kLabelCell / 2 : r.x + r.w;
            DrawGlyphCells(c, cells, text, end, r.y);
        } else {
            const int32_t top = last > 0 ? r.y + TruncPixels(r.h * i / r.max) : r.y;
            DrawGlyphCells(c, cells, text, r.x + r.w, top);
        }
    }
}

void DrawSlider(SetupCanvas& c, const ParamDesc& r, int32_t firstBitmap) {
    const int32_t s = TruncPixels(r.step);
    const int32_t pos = std::clamp(RoundPixels(Scaled(r, r.value, r.h - r.step)) + s / 2, 0, r.h);
    c.Blit(firstBitmap, r.x, r.y - s / 2, r.w, r.h + s, r.x, r.y - s / 2, BlitMode::Copy);
    c.Blit(r.bitmap, r.x, r.y + r.h - s / 2 - pos, r.w, s, 0, 0, BlitMode::Copy);
}

// Three quarters of a turn, from the lower left (min) over the top to the lower right (max).
void DrawKnob(SetupCanvas& c, const ParamDesc& r, int32_t firstBitmap) {
    const int32_t q = TruncPixels(r.step);
    c.Blit(firstBitmap, r.x, r.y - q / 2, r.w, r.h + q, r.x, r.y - q / 2, BlitMode::Copy);
    const double angle = ((r.value - r.min) / (r.max - r.min) + 0.166666666) * 4.71238898;
    c.MoveTo(r.x + r.w / 2, r.y + r.h / 2);
    c.LineTo(r.x + RoundPixels((1 - std::sin(angle)) * r.w * 0.5),
             r.y + RoundPixels((std::cos(angle) + 1) * r.h * 0.5));
}

} // namespace

bool DrawGraphicControl(SetupCanvas& c, const ParamDesc& r, int32_t firstBitmap) {
    switch (r.type) {
    case kControlVerticalBar:
    case kControlReservedBar:
    case kControlCompressedBar:
        DrawBar(c, r, Level(r));
        return true;
    case kControlVerticalBarSegment:
        DrawUnlitFace(c, r);
        DrawSegment(c, r, Level(r), Quantum(r));
        return true;
    case kControlVerticalSegment:
        DrawSegment(c, r, Level(r), Quantum(r));
        return true;
    case kControlReservedSegment:
    case kControlCompressedSegment:
        DrawSegment(c, r, Level(r), r.value > 0.5 ? 3 * Quantum(r) : Quantum(r));
        return true;
    case kControlSegmentCapBar:
    case kControlSegmentWideCapBar:
    case kControlSegmentSplitBar:
        DrawSegmentedBar(c, r);
        return true;
    case kControlHorizontalBar:
    case kControlHorizontalCap:
        DrawHorizontal(c, r);
        return true;
    case kControlHorizontalSegment:
        DrawHorizontalSegment(c, r);
        return true;
    case kControlNumericScale:
        DrawNumericScale(c, r);
        return true;
    case kControlChoiceRow:
    case kControlChoiceColumn:
        DrawChoiceLabels(c, r);
        return true;
    case kControlSlider:
        DrawSlider(c, r, firstBitmap);
        return true;
    case kControlKnob:
        DrawKnob(c, r, firstBitmap);
        return true;
    default:
        return false;
    }
}
