#include "platform/drawing_context.h"

#include "platform/glyph_cache.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPalette>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

QRgb ToRgb(COLORREF c) {
    return qRgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

int32_t Sign(int32_t v) {
    return (v > 0) - (v < 0);
}

} // namespace

QColor ToQColor(COLORREF c) {
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

COLORREF FromQColor(const QColor& c) {
    return RGB(static_cast<uint8_t>(c.red()), static_cast<uint8_t>(c.green()),
               static_cast<uint8_t>(c.blue()));
}

COLORREF GetSysColor(int index) {
    const QPalette palette = QGuiApplication::palette();
    switch (index) {
    case COLOR_BTNSHADOW:
        return FromQColor(palette.color(QPalette::Active, QPalette::Dark));
    case COLOR_BTNHIGHLIGHT:
        return FromQColor(palette.color(QPalette::Active, QPalette::Light));
    case COLOR_BTNFACE:
    default:
        return FromQColor(palette.color(QPalette::Active, QPalette::Button));
    }
}

QFont ToQFont(const LOGFONT& font) {
    QFont f(QString::fromLatin1(font.lfFaceName));
    // A negative height is the character height, a positive one the cell height; Qt's pixel
    // size is the former, so a cell height is scaled by the face's em-to-cell ratio.
    // Clamped here too, and in 64 bits, so that no int32 overflows (std::abs(INT_MIN)).
    const int64_t height =
        font.lfHeight == 0 ? 13
                           : std::min<int64_t>(std::abs(int64_t{font.lfHeight}), kMaxFontHeight);
    f.setPixelSize(static_cast<int>(height));
    if (font.lfHeight > 0) {
        QFontMetrics m(f);
        if (m.height() > 0)
            f.setPixelSize(static_cast<int>(std::max<int64_t>(1, height * height / m.height())));
    }
    if (font.lfWeight > 0)
        f.setWeight(static_cast<QFont::Weight>(std::clamp(font.lfWeight / 10 * 10, 100, 900)));
    f.setItalic(font.lfItalic != 0);
    f.setUnderline(font.lfUnderline != 0);
    f.setStrikeOut(font.lfStrikeOut != 0);
    f.setStyleStrategy(QFont::NoAntialias);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setKerning(false);
    return f;
}

LOGFONT FromQFont(const QFont& font) {
    LOGFONT result;
    result.lfHeight = ClampFontHeight(-QFontInfo(font).pixelSize());
    result.lfWeight = font.weight();
    result.lfItalic = font.italic() ? 1 : 0;
    result.lfUnderline = font.underline() ? 1 : 0;
    result.lfStrikeOut = font.strikeOut() ? 1 : 0;
    result.SetFaceName(font.family().toLatin1().constData());
    return result;
}

DrawingContext::DrawingContext(QImage& image)
    : image_(image), bits_(image.bits()), stride_(image.bytesPerLine()), width_(image.width()),
      height_(image.height()), font_(MakeArialFont(-13)) {
    Q_ASSERT(image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32);
}

DrawingContext::~DrawingContext() = default;

QPainter& DrawingContext::Painter() {
    if (!painter_) {
        painter_ = std::make_unique<QPainter>(&image_);
        painter_->setRenderHint(QPainter::Antialiasing, false);
    }
    return *painter_;
}

GlyphSet& DrawingContext::Glyphs() {
    if (!glyphs_)
        glyphs_ = GlyphsFor(font_);
    return *glyphs_;
}

void DrawingContext::PrefetchRows(int32_t l, int32_t t, int32_t r, int32_t b) const {
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, width_);
    b = std::min(b, height_);
    if (l >= r)
        return;
    for (int32_t y = t; y < b; ++y) {
        const uchar* row = bits_ + y * stride_;
        __builtin_prefetch(row + l * 4, 1);
        __builtin_prefetch(row + r * 4 - 1, 1);
    }
}

void DrawingContext::FillRaw(int32_t l, int32_t t, int32_t r, int32_t b, QRgb color) {
    l = std::max(l, 0);
    t = std::max(t, 0);
    r = std::min(r, width_);
    b = std::min(b, height_);
    if (l >= r || t >= b)
        return;
    // Meter bars are narrow and tall: each row is a cache line the CPU has to fetch. Asking
    // for all of them first lets the fetches overlap instead of queueing behind the stores.
    if (b - t > 1)
        PrefetchRows(l, t, r, b);
    for (int32_t y = t; y < b; ++y) {
        auto* row = reinterpret_cast<QRgb*>(bits_ + y * stride_);
        std::fill(row + l, row + r, color);
    }
}

void DrawingContext::SetPixel(int32_t x, int32_t y, QRgb color) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return;
    reinterpret_cast<QRgb*>(bits_ + y * stride_)[x] = color;
}

void DrawingContext::FillSolidRect(const RECT& r, COLORREF color) {
    bkColor_ = color;
    FillRaw(r.left, r.top, r.right, r.bottom, ToRgb(color));
}

void DrawingContext::FillRect(const RECT& r, COLORREF color) {
    FillRaw(r.left, r.top, r.right, r.bottom, ToRgb(color));
}

COLORREF DrawingContext::SelectPen(COLORREF color) {
    return std::exchange(pen_, color);
}
COLORREF DrawingContext::SelectBrush(COLORREF color) {
    return std::exchange(brush_, color);
}

void DrawingContext::MoveToEx(int32_t x, int32_t y) {
    position_ = {x, y};
}

void DrawingContext::LineTo(int32_t x, int32_t y) {
    PlotLine(position_.x, position_.y, x, y, false);
    position_ = {x, y};
}

void DrawingContext::PlotLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool includeEnd) {
    const QRgb color = ToRgb(pen_);
    if (x0 == x1 || y0 == y1) {
        // Axis-aligned: one fill from the start toward the end, the end pixel only if asked.
        if (!includeEnd && x0 == x1 && y0 == y1)
            return;
        int32_t ex = includeEnd ? x1 : x1 - Sign(x1 - x0);
        int32_t ey = includeEnd ? y1 : y1 - Sign(y1 - y0);
        FillRaw(std::min(x0, ex), std::min(y0, ey), std::max(x0, ex) + 1, std::max(y0, ey) + 1,
                color);
        return;
    }
    // Bresenham, stepping from the start point; the end point is plotted only when asked.
    int32_t dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    int32_t dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int32_t err = dx + dy;
    while (true) {
        bool atEnd = x0 == x1 && y0 == y1;
        if (atEnd) {
            if (includeEnd)
                SetPixel(x0, y0, color);
            return;
        }
        SetPixel(x0, y0, color);
        int32_t e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x0 += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y0 += sy;
        }
    }
}

void DrawingContext::FillPolygon(const POINT* points, int count) {
    // Even-odd rule, sampled at the pixels' top-left corners as the window system fills
    // rectangles (left and top edges in, right and bottom out): the fill then never reaches
    // past the outline drawn afterwards.
    constexpr int kMaxCrossings = 64;
    if (count > kMaxCrossings) {
        QPolygon polygon(count);
        for (int i = 0; i < count; ++i)
            polygon.setPoint(i, points[i].x, points[i].y);
        QPainter& p = Painter();
        p.setPen(Qt::NoPen);
        p.setBrush(ToQColor(brush_));
        p.drawPolygon(polygon, Qt::OddEvenFill);
        return;
    }
    int32_t top = points[0].y, bottom = points[0].y;
    for (int i = 1; i < count; ++i) {
        top = std::min(top, points[i].y);
        bottom = std::max(bottom, points[i].y);
    }
    const QRgb color = ToRgb(brush_);
    double crossings[kMaxCrossings];
    for (int32_t y = std::max(top, 0); y < std::min(bottom, height_); ++y) {
        int n = 0;
        for (int i = 0; i < count; ++i) {
            const POINT& a = points[i];
            const POINT& b = points[(i + 1) % count];
            if ((a.y <= y) != (b.y <= y))
                crossings[n++] = a.x + static_cast<double>(y - a.y) * (b.x - a.x) / (b.y - a.y);
        }
        std::sort(crossings, crossings + n);
        for (int i = 0; i + 1 < n; i += 2) {
            // Pixels whose left edge x lies in [from, to).
            const auto first = static_cast<int32_t>(std::ceil(crossings[i]));
            const auto end = static_cast<int32_t>(std::ceil(crossings[i + 1]));
            FillRaw(first, y, end, y + 1, color);
        }
    }
}

void DrawingContext::Polygon(const POINT* points, int count) {
    if (count < 2)
        return;
    FillPolygon(points, count);
    for (int i = 0; i < count; ++i) {
        const POINT& a = points[i];
        const POINT& b = points[(i + 1) % count];
        PlotLine(a.x, a.y, b.x, b.y, true);
    }
}

COLORREF DrawingContext::SetTextColor(COLORREF color) {
    return std::exchange(textColor_, color);
}
COLORREF DrawingContext::SetBkColor(COLORREF color) {
    return std::exchange(bkColor_, color);
}
int DrawingContext::SetBkMode(int mode) {
    return std::exchange(bkMode_, mode);
}
uint32_t DrawingContext::SetTextAlign(uint32_t align) {
    return std::exchange(align_, align);
}

LOGFONT DrawingContext::SelectFont(const LOGFONT& font) {
    LOGFONT previous = font_;
    if (std::memcmp(&font, &font_, sizeof font) != 0) {
        font_ = font;
        glyphs_.reset();
    }
    return previous;
}

QSize DrawingContext::GetTextExtent(std::string_view text) {
    GlyphSet& glyphs = Glyphs();
    return {glyphs.Width(text), glyphs.Height()};
}

QRect DrawingContext::TextBox(int32_t x, int32_t y, int width, int height) const {
    int left = x;
    if ((align_ & TA_CENTER) == TA_CENTER)
        left = x - width / 2;
    else if (align_ & TA_RIGHT)
        left = x - width;
    return {left, y, width, height};
}

void DrawingContext::DrawText(const QRect& box, std::string_view text, const QRect* clip,
                              bool opaque) {
    QRect visible(0, 0, width_, height_);
    if (clip)
        visible &= *clip;
    if (opaque) {
        const QRect fill = box & visible;
        if (!fill.isEmpty())
            FillRaw(fill.left(), fill.top(), fill.right() + 1, fill.bottom() + 1, ToRgb(bkColor_));
    }
    if (!visible.isEmpty())
        Glyphs().Paint(image_, box.left(), box.top(), text, ToRgb(textColor_), visible);
}

void DrawingContext::TextOut(int32_t x, int32_t y, std::string_view text) {
    QSize extent = GetTextExtent(text);
    DrawText(TextBox(x, y, extent.width(), extent.height()), text, nullptr, bkMode_ == OPAQUE);
}

void DrawingContext::ExtTextOut(int32_t x, int32_t y, uint32_t options, const RECT* rect,
                                std::string_view text) {
    QRect clip;
    if (rect)
        clip = QRect(QPoint(rect->left, rect->top), QPoint(rect->right - 1, rect->bottom - 1));
    if (rect && (options & ETO_OPAQUE))
        FillRaw(rect->left, rect->top, rect->right, rect->bottom, ToRgb(bkColor_));
    QSize extent = GetTextExtent(text);
    bool clipped = rect && (options & ETO_CLIPPED);
    DrawText(TextBox(x, y, extent.width(), extent.height()), text, clipped ? &clip : nullptr,
             bkMode_ == OPAQUE && !(rect && (options & ETO_OPAQUE)));
}

void DrawingContext::BitBlt(int32_t x, int32_t y, int32_t w, int32_t h, const QImage& source,
                            int32_t sx, int32_t sy, uint32_t rop) {
    if (w <= 0 || h <= 0)
        return;
    QPainter& p = Painter();
    p.save();
    p.setCompositionMode(rop == SRCPAINT ? QPainter::RasterOp_SourceOrDestination
                                         : QPainter::CompositionMode_Source);
    p.drawImage(QRect(x, y, w, h), source, QRect(sx, sy, w, h));
    p.restore();
}

void DrawingContext::DrawEdge(const RECT& r, uint32_t edge, uint32_t flags) {
    if (!(edge & BDR_SUNKENOUTER))
        return;
    // A sunken outer edge: shadow on the top and left, highlight on the bottom and right.
    const QRgb shadow = ToRgb(GetSysColor(COLOR_BTNSHADOW));
    const QRgb light = ToRgb(GetSysColor(COLOR_BTNHIGHLIGHT));
    if (flags & BF_TOP)
        FillRaw(r.left, r.top, r.right, r.top + 1, shadow);
    if (flags & BF_LEFT)
        FillRaw(r.left, r.top, r.left + 1, r.bottom, shadow);
    if (flags & BF_BOTTOM)
        FillRaw(r.left, r.bottom - 1, r.right, r.bottom, light);
    if (flags & BF_RIGHT)
        FillRaw(r.right - 1, r.top, r.right, r.bottom, light);
}
