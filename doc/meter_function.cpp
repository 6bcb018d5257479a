#include "doc/meter_function.h"

std::array<MeterFunction, kFunctionCount>& MeterFunctions() {
    static std::array<MeterFunction, kFunctionCount> table{{
        {"Stereo Level Meter", "Two Channel RMS and Peak Level Meter", "L", "Settings\\lev2", 2,
         500, 0},
        {"Multichannel Level Meter", "8-Channel RMS and Peak Level Meter", "M", "Settings\\lev8", 8,
         500, 0},
        {"Global Level Meter", "Global RMS and Peak Level Meter", "G", "Settings\\lev26", 26, 500,
         0},
    }};
    return table;
}
