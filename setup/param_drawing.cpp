#include "setup/param_drawing.h"

#include "setup/control_text.h"
#include "setup/glyph_cells.h"
#include "setup/graphic_controls.h"

namespace {

// Text boxes fill their whole rectangle with cells, right-aligned; the leftmost cell is cut
// at the box's left edge, so a partial pass needs no background under them.
void DrawTextBox(SetupCanvas& canvas, const ParamDesc& r) {
    const GlyphCells cells{r.bitmap, r.h / 5 * 3, r.h, BlitMode::Copy};
    DrawGlyphCells(canvas, cells, ControlText(r), r.x + r.w, r.y, r.x, true);
    if (r.flags & PF_SELECTED)
        canvas.DrawSunkenEdge(r.x, r.y, r.x + r.w, r.y + r.h);
}

// Upper face for on (and always for the fixed face), lower face for off.
void DrawTwoFace(SetupCanvas& canvas, const ParamDesc& r) {
    const bool upper = r.type == kControlUpperFace || r.value > 0.5;
    canvas.Blit(r.bitmap, r.x, r.y, r.w, r.h, 0, upper ? 0 : r.h, BlitMode::Copy);
}

void DrawRecord(SetupCanvas& canvas, const ParamDesc& r, int32_t firstBitmap) {
    switch (r.type) {
    case kControlNumericBox:
    case kControlNumericDisplay:
    case kControlLevelReadout:
    case kControlSelection:
    case kControlWrappingSelection:
    case kControlSelectionDisplay:
        DrawTextBox(canvas, r);
        return;
    case kControlSwitch:
    case kControlUpperFace:
        DrawTwoFace(canvas, r);
        return;
    case kControlBackground:
        canvas.Blit(firstBitmap, 0, 0, r.w, r.h, 0, 0, BlitMode::Copy);
        return;
    default:
        DrawGraphicControl(canvas, r, firstBitmap);
        return;
    }
}

} // namespace

void DrawParamControls(SetupCanvas* canvas, std::span<ParamDesc> records, bool full) {
    if (!canvas || records.empty())
        return;
    const int32_t firstBitmap = records.front().bitmap;
    for (ParamDesc& r : records) {
        if (!full && !(r.flags & PF_REDRAW))
            continue;
        r.flags &= ~PF_REDRAW;
        if (r.flags & PF_HIDDEN)
            continue;
        DrawRecord(*canvas, r, firstBitmap);
        if ((r.flags & PF_FRAMED) && full)
            DrawControlFrame(*canvas, r.x, r.y, r.x + r.w, r.y + r.h);
    }
}

void DrawControlFrame(SetupCanvas& canvas, int32_t left, int32_t top, int32_t right,
                      int32_t bottom) {
    const COLORREF previous = canvas.SelectPen(kFrameDarkPen);
    canvas.MoveTo(left - 1, bottom);
    canvas.LineTo(left - 1, top - 1);
    canvas.LineTo(right, top - 1);
    canvas.SelectPen(kFrameLightPen);
    canvas.LineTo(right, bottom);
    canvas.LineTo(left - 1, bottom);
    canvas.SelectPen(previous);
}
