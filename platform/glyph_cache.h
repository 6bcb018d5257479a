#pragma once

#include "platform/log_font.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <array>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

// The monochrome glyphs of one font, each rendered once through QPainter, so that text is
// painted by plain pixel writes: characters stand side by side at their whole-pixel advances,
// without kerning or ligatures, as GDI places them. The meters repaint their readouts many
// times a second; a QPainter per readout would cost more than all their bars.
class GlyphSet {
public:
    explicit GlyphSet(const LOGFONT& font);
    GlyphSet(const GlyphSet&) = delete;
    GlyphSet& operator=(const GlyphSet&) = delete;

    const LOGFONT& Font() const { return logFont_; }
    const QFont& QtFont() const { return font_; }
    int Ascent() const { return ascent_; }
    // The cell height: the height of every text box.
    int Height() const { return height_; }
    int Width(std::string_view text);

    // Paints the glyphs of `text` in `color` with the text box's top left corner at
    // (left, top), inside `clip` (image coordinates, already within the image).
    void Paint(QImage& image, int left, int top, std::string_view text, QRgb color,
               const QRect& clip);

private:
    struct Glyph {
        bool rendered = false;
        int advance = 0;
        QRect box; // ink rectangle relative to the pen position at the text box's top
        std::vector<uint8_t> ink; // one byte per pixel of `box`, row by row
    };
    const Glyph& At(unsigned char c);
    void Render(unsigned char c, Glyph& glyph);

    LOGFONT logFont_;
    QFont font_;
    int ascent_ = 0;
    int height_ = 0;
    std::array<Glyph, 256> glyphs_;
};

// The glyphs of a font, shared by every drawing context that selects it. A few fonts are in
// use at a time; the least recently asked for is let go when too many were.
std::shared_ptr<GlyphSet> GlyphsFor(const LOGFONT& font);
