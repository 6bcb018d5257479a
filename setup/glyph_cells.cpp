#include "setup/glyph_cells.h"

#include <algorithm>

namespace {

constexpr int kFirstCode = 32;
constexpr int kLastCode = 122;

int32_t CellIndex(char c) {
    const int code = static_cast<unsigned char>(c);
    return code >= kFirstCode && code <= kLastCode ? code - kFirstCode : 0;
}

} // namespace

void DrawGlyphCells(SetupCanvas& canvas, const GlyphCells& cells, std::string_view text,
                    int32_t right, int32_t top, std::optional<int32_t> cutAt, bool fillToCut) {
    const int32_t cw = cells.cellWidth;
    if (cw <= 0)
        return;
    const bool fill = fillToCut && cutAt;
    int64_t r = right;
    for (size_t k = 0; fill ? r > *cutAt : k < text.size(); ++k) {
        r -= cw;
        // Negative: the part of the cell that lies left of the cut.
        const int64_t clip = cutAt ? std::min<int64_t>(r - *cutAt, 0) : 0;
        if (cw + clip <= 0)
            return;
        const char c = k < text.size() ? text[text.size() - 1 - k] : ' ';
        canvas.Blit(cells.bitmap, static_cast<int32_t>(r - clip), top,
                    static_cast<int32_t>(cw + clip), cells.height,
                    static_cast<int32_t>(CellIndex(c) * cw - clip), 0, cells.mode);
    }
}
