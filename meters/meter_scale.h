#pragma once

#include "meters/meter_column.h"

#include <cstdint>
#include <string>
#include <vector>

// What the dB scale beside a column consists of: horizontal tick lines and dB numbers.
struct ScaleTick {
    int32_t row = 0;
    int32_t halfWidth = 0; // the line runs from centerX - halfWidth to centerX + halfWidth
};

struct ScaleNumber {
    int32_t x = 0; // the text's anchor: its right end when the numbers stand left
    int32_t y = 0; // top of the text
    std::string text;
};

struct ScalePlan {
    bool numbersLeft = false; // right-aligned numbers on the left, else left-aligned
    std::vector<ScaleNumber> numbers;
    std::vector<ScaleTick> ticks;
};

// The scale of a column with pitch `pitch`. Numbers stand on the left when numbersLeft is
// set, on the right when numbersWhenRight is set, and are left out otherwise.
ScalePlan PlanScale(const MeterColumn& column, int32_t pitch, bool numbersLeft,
                    bool numbersWhenRight);

// "%3.0lf" and, with the sign, "%+3.0lf" as C prints them.
std::string FormatScaleNumber(double level, bool withSign);
