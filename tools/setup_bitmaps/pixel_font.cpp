#include "tools/setup_bitmaps/pixel_font.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>

bool PixelFont::Glyph::Inked(int x, int y) const {
    return y >= 0 && y < static_cast<int>(rows.size()) && x >= 0 &&
           x < static_cast<int>(rows[y].size()) && rows[y][x] == '#';
}

PixelFont::PixelFont(std::string_view art, int height, int spacing)
    : height_(height), spacing_(spacing) {
    std::istringstream lines{std::string(art)};
    std::string line;
    Glyph* glyph = nullptr;
    while (std::getline(lines, line)) {
        if (line.size() == 2 && line[0] == '@') {
            glyph = &glyphs_[line[1]];
            continue;
        }
        if (line.empty() || !glyph)
            continue;
        if (static_cast<int>(glyph->rows.size()) == height_ ||
            line.find_first_not_of(".#") != std::string::npos) {
            std::fprintf(stderr, "bad glyph row \"%s\"\n", line.c_str());
            std::exit(2);
        }
        glyph->rows.push_back(line);
        glyph->width = std::max(glyph->width, static_cast<int>(line.size()));
    }
}

const PixelFont::Glyph& PixelFont::At(char c) const {
    auto it = glyphs_.find(c);
    if (it == glyphs_.end()) {
        std::fprintf(stderr, "the font has no glyph for '%c'\n", c);
        std::exit(2);
    }
    return it->second;
}

int PixelFont::TextWidth(std::string_view text) const {
    int width = 0;
    for (char c : text)
        width += At(c).width + spacing_;
    return text.empty() ? 0 : width - spacing_;
}
