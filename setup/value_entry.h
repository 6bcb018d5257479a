#pragma once

#include "setup/param_desc.h"

#include <string>
#include <string_view>

// The arithmetic of the value dialogs, apart from their windows.

// The range line of "Input Value": min and max as the record shows values, then its unit,
// such as "-140.0 ... 0.1 dB".
std::string ValueRangeText(const ParamDesc& record);

// The value an "Input Value" entry stands for, clamped to the record's range. A "," counts as
// the decimal point, text that is no number as 0, and in a field whose range ends at 0 or
// below a positive entry is taken as negative ("60" in a dB field means -60).
double ParseValueEntry(const ParamDesc& record, std::string_view text);

// A wheel turn in "Input Value": a step a notch, ten with Shift, clamped.
double StepEntryValue(const ParamDesc& record, double value, int wheelDelta, bool shift);

// A wheel turn in "Select Value": turning away from the user moves up the list, clamped.
double StepSelectionValue(const ParamDesc& record, double value, int wheelDelta);
