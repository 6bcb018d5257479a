#include "tools/setup_bitmaps/pixel_canvas.h"

PixelCanvas::PixelCanvas(int width, int height, QRgb background)
    : image_(width, height, QImage::Format_RGB32) {
    image_.fill(background);
}

void PixelCanvas::Pixel(int x, int y, QRgb color) {
    if (image_.rect().contains(x, y))
        image_.setPixel(x, y, color);
}

void PixelCanvas::Fill(int left, int top, int right, int bottom, QRgb color) {
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            Pixel(x, y, color);
}

void PixelCanvas::Frame(int left, int top, int right, int bottom, QRgb topLeft, QRgb bottomRight) {
    Fill(left, top, right, top + 1, topLeft);
    Fill(left, top, left + 1, bottom, topLeft);
    Fill(left + 1, bottom - 1, right, bottom, bottomRight);
    Fill(right - 1, top + 1, right, bottom, bottomRight);
}

void PixelCanvas::Glyph(const PixelFont::Glyph& glyph, int x, int y, QRgb ink) {
    for (int row = 0; row < static_cast<int>(glyph.rows.size()); ++row)
        for (int col = 0; col < glyph.width; ++col)
            if (glyph.Inked(col, row))
                Pixel(x + col, y + row, ink);
}

void PixelCanvas::Text(const PixelFont& font, std::string_view text, int x, int y, QRgb ink,
                       bool rightAligned) {
    if (rightAligned)
        x -= font.TextWidth(text);
    for (char c : text) {
        const PixelFont::Glyph& glyph = font.At(c);
        Glyph(glyph, x, y, ink);
        x += glyph.width + font.spacing();
    }
}
