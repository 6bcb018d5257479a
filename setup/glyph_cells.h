#pragma once

#include "setup/setup_canvas.h"

#include <cstdint>
#include <optional>
#include <string_view>

// A text laid out in the cells of a glyph strip: the cell of character code c lies at
// x = (c - 32) * cellWidth, for the codes 32 to 122; any other character shows the blank.
struct GlyphCells {
    int32_t bitmap;
    int32_t cellWidth;
    int32_t height;
    BlitMode mode;
};

// Draws `text` from its last character leftwards, the last cell ending at `right`. With
// `cutAt` the cells stop at that x (the leftmost one cut); with `fillToCut` as well, blank
// cells continue up to it.
void DrawGlyphCells(SetupCanvas& canvas, const GlyphCells& cells, std::string_view text,
                    int32_t right, int32_t top, std::optional<int32_t> cutAt = std::nullopt,
                    bool fillToCut = false);
