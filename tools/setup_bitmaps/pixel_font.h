#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

// A bitmap font drawn as text: each glyph is a header line "@c" (c the character) followed by
// its rows, '#' for an inked pixel and '.' for a blank one, top row first. Rows may stop
// early (the rest are blank); a glyph's width is that of its longest row.
class PixelFont {
public:
    struct Glyph {
        int width = 0;
        std::vector<std::string> rows;
        bool Inked(int x, int y) const;
    };

    // `height` rows per glyph, `spacing` blank columns after each glyph of a text.
    PixelFont(std::string_view art, int height, int spacing);

    int height() const { return height_; }
    int spacing() const { return spacing_; }
    // The glyph of `c`; the generator stops with a message for a character the art lacks.
    const Glyph& At(char c) const;
    int TextWidth(std::string_view text) const;

private:
    std::map<char, Glyph> glyphs_;
    int height_;
    int spacing_;
};

// The 5 x 9 glyphs of the text boxes: capitals 7 rows high, lowercase with 2-row descenders,
// one for every code from 32 to 122.
const PixelFont& DisplayFont();
// The proportional face of the panel labels, on the same baseline.
const PixelFont& LabelFont();
// Capitals 5 rows high for the push button's legend.
const PixelFont& ButtonFont();
