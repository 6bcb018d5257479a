#pragma once

#include "tools/setup_bitmaps/pixel_font.h"

#include <QImage>
#include <string_view>

// Pixel-exact drawing on an image: no antialiasing, nothing drawn outside it.
class PixelCanvas {
public:
    PixelCanvas(int width, int height, QRgb background);

    QImage& image() { return image_; }
    void Pixel(int x, int y, QRgb color);
    // Rectangles include their left and top edges and exclude the right and bottom ones.
    void Fill(int left, int top, int right, int bottom, QRgb color);
    // A one-pixel frame on the rectangle's own edges: `topLeft` above and left, `bottomRight`
    // below and right.
    void Frame(int left, int top, int right, int bottom, QRgb topLeft, QRgb bottomRight);
    // Inks a glyph with its top left at (x, y); blank pixels stay as they are.
    void Glyph(const PixelFont::Glyph& glyph, int x, int y, QRgb ink);
    // Text starting at x, or ending at x (its last column at x - 1) when right-aligned.
    void Text(const PixelFont& font, std::string_view text, int x, int y, QRgb ink,
              bool rightAligned = false);

private:
    QImage image_;
};
