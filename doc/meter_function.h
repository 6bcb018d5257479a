#pragma once

#include <array>
#include <cstdint>

// The three metering functions, indexed by the function index ("SWType").
struct MeterFunction {
    char title[30];
    char description[100];
    char hotKey[5];
    char registryKey[33];
    int32_t channelCount; // what the view is configured for: 2, 8 or 26
    int32_t minHeight;
    int32_t openCount; // windows now showing the function; the only field that changes
};

inline constexpr int kFunctionCount = 3;

// The process-wide table; only `openCount` is ever written.
std::array<MeterFunction, kFunctionCount>& MeterFunctions();
