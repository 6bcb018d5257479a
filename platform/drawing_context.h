#pragma once

#include "platform/colorref.h"
#include "platform/log_font.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPoint>
#include <memory>
#include <string_view>

struct POINT {
    int32_t x;
    int32_t y;
};

struct RECT {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Text alignment flags.
inline constexpr uint32_t TA_LEFT = 0;
inline constexpr uint32_t TA_TOP = 0;
inline constexpr uint32_t TA_RIGHT = 2;
inline constexpr uint32_t TA_CENTER = 6;

// ExtTextOut options.
inline constexpr uint32_t ETO_OPAQUE = 0x2;
inline constexpr uint32_t ETO_CLIPPED = 0x4;

// Background modes of text output.
inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

// Raster operations of BitBlt.
inline constexpr uint32_t SRCCOPY = 0x00CC0020;
inline constexpr uint32_t SRCPAINT = 0x00EE0086;

// DrawEdge.
inline constexpr uint32_t BDR_SUNKENOUTER = 0x2;
inline constexpr uint32_t BF_LEFT = 0x1;
inline constexpr uint32_t BF_TOP = 0x2;
inline constexpr uint32_t BF_RIGHT = 0x4;
inline constexpr uint32_t BF_BOTTOM = 0x8;

// System colours.
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;

// The colour of a system element, from the application palette.
COLORREF GetSysColor(int index);

QColor ToQColor(COLORREF c);
COLORREF FromQColor(const QColor& c);

// The font a LOGFONT describes, without antialiasing or kerning (GDI does not kern).
QFont ToQFont(const LOGFONT& font);
// The LOGFONT of a font a font dialog chose: pixel height as a character height (negative),
// weight, italic, underline, strike-out and the family name (cut to 31 characters).
LOGFONT FromQFont(const QFont& font);

class GlyphSet;

// GDI drawing semantics on a QImage (Format_RGB32), in image pixels:
// - rectangles exclude their right column and bottom row;
// - LineTo leaves its end point unpainted and moves the current position there;
// - Polygon outlines with the pen and fills with the brush;
// - text is placed by the alignment flags (left/right/centre, top) and, in OPAQUE mode,
//   painted on its box in the background colour; nothing is antialiased.
// Pens are solid and one pixel wide. The context starts with a black pen, a white brush,
// black text on a white background, opaque mode, left/top alignment and ARIAL of height -13.
// Fills, lines, polygons and text are plain pixel writes: taking a context, drawing bars and
// readouts into it and letting it go allocates nothing once a font's glyphs are known.
class DrawingContext {
public:
    explicit DrawingContext(QImage& image);
    ~DrawingContext();
    DrawingContext(const DrawingContext&) = delete;
    DrawingContext& operator=(const DrawingContext&) = delete;

    QImage& image() { return image_; }

    // Fills with the colour and makes it the background colour, as a solid fill does.
    void FillSolidRect(const RECT& r, COLORREF color);
    // Fills with a brush of the colour; the background colour stays.
    void FillRect(const RECT& r, COLORREF color);

    COLORREF SelectPen(COLORREF color);
    COLORREF SelectBrush(COLORREF color);
    COLORREF Pen() const { return pen_; }
    void MoveToEx(int32_t x, int32_t y);
    void LineTo(int32_t x, int32_t y);
    POINT CurrentPosition() const { return position_; }
    void Polygon(const POINT* points, int count);

    COLORREF SetTextColor(COLORREF color);
    COLORREF SetBkColor(COLORREF color);
    COLORREF TextColor() const { return textColor_; }
    COLORREF BkColor() const { return bkColor_; }
    int SetBkMode(int mode);
    uint32_t SetTextAlign(uint32_t align);
    // Returns the font that was selected before.
    LOGFONT SelectFont(const LOGFONT& font);
    const LOGFONT& CurrentFont() const { return font_; }

    // Width and height of the text in the selected font; the height is the font's cell height.
    QSize GetTextExtent(std::string_view text);
    void TextOut(int32_t x, int32_t y, std::string_view text);
    void ExtTextOut(int32_t x, int32_t y, uint32_t options, const RECT* rect,
                    std::string_view text);

    void BitBlt(int32_t x, int32_t y, int32_t w, int32_t h, const QImage& source, int32_t sx,
                int32_t sy, uint32_t rop);
    void DrawEdge(const RECT& r, uint32_t edge, uint32_t flags);

    // Asks the CPU to fetch the pixel rows [top, bottom) of columns [left, right) ahead of
    // writes that will come soon; draws nothing.
    void PrefetchRows(int32_t left, int32_t top, int32_t right, int32_t bottom) const;

private:
    void FillRaw(int32_t l, int32_t t, int32_t r, int32_t b, QRgb color);
    void PlotLine(int32_t x0, int32_t y0, int32_t x1, int32_t y1, bool includeEnd);
    void SetPixel(int32_t x, int32_t y, QRgb color);
    void FillPolygon(const POINT* points, int count);
    QPainter& Painter();
    GlyphSet& Glyphs();
    QRect TextBox(int32_t x, int32_t y, int width, int height) const;
    void DrawText(const QRect& box, std::string_view text, const QRect* clip, bool opaque);

    QImage& image_;
    uchar* bits_;
    qsizetype stride_;
    int width_;
    int height_;

    std::unique_ptr<QPainter> painter_;
    std::shared_ptr<GlyphSet> glyphs_; // of font_, looked up when text first needs it
    LOGFONT font_;

    COLORREF pen_ = 0;
    COLORREF brush_ = RGB(255, 255, 255);
    COLORREF textColor_ = 0;
    COLORREF bkColor_ = RGB(255, 255, 255);
    int bkMode_ = OPAQUE;
    uint32_t align_ = TA_LEFT | TA_TOP;
    POINT position_{0, 0};
};
