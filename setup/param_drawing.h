#pragma once

#include "setup/param_desc.h"
#include "setup/setup_canvas.h"

#include <span>

// Frame pens of PF_FRAMED controls.
inline constexpr COLORREF kFrameDarkPen = RGB(60, 60, 60);
inline constexpr COLORREF kFrameLightPen = RGB(160, 160, 160);

// Draws the controls of a setup window in slot order: all of them (full) or only those marked
// PF_REDRAW, clearing the mark of each record it visits. Hidden records lose the mark without
// being drawn. Without a canvas nothing is drawn and every mark stays for the next pass.
void DrawParamControls(SetupCanvas* canvas, std::span<ParamDesc> records, bool full);

// A one-pixel frame just outside the rectangle: dark above and left, light right and below.
void DrawControlFrame(SetupCanvas& canvas, int32_t left, int32_t top, int32_t right,
                      int32_t bottom);
