#pragma once

#include "setup/param_desc.h"

#include <string>
#include <string_view>

// Choice entry `index` (truncated toward zero) of a selection record: empty when the record
// has no choices or the index lies outside 0..trunc(max), the entries it is known to carry.
std::string_view ChoiceEntry(const ParamDesc& record, double index);

// The text a text box shows, right-aligned in its cells: the value with its unit for the
// numeric boxes, the level readout with its over and underflow marks, the chosen entry for
// the selections. Empty for the other control types.
std::string ControlText(const ParamDesc& record);
