#pragma once

#include "setup/param_desc.h"
#include "setup/setup_canvas.h"

// Draws a record of one of the graphic control types (bars, scales, label rows, slider, knob)
// from its bitmap; `firstBitmap` is the bitmap of the table's first record, which slider and
// knob restore their track from. False for any other type.
bool DrawGraphicControl(SetupCanvas& canvas, const ParamDesc& record, int32_t firstBitmap);
