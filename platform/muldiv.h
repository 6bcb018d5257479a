#pragma once

#include <cstdint>

// number * numerator / denominator with a 64-bit intermediate, rounded to the nearest integer,
// halves away from zero. Returns -1 for a zero denominator or a result outside 32 bits, as
// the Windows call of that name does.
constexpr int32_t MulDiv(int32_t number, int32_t numerator, int32_t denominator) {
    if (denominator == 0)
        return -1;
    int64_t product = static_cast<int64_t>(number) * numerator;
    bool negative = (product < 0) != (denominator < 0);
    uint64_t p = product < 0 ? static_cast<uint64_t>(-product) : static_cast<uint64_t>(product);
    uint64_t d = denominator < 0 ? static_cast<uint64_t>(-static_cast<int64_t>(denominator))
                                 : static_cast<uint64_t>(denominator);
    uint64_t q = (p + d / 2) / d;
    if (q > (negative ? 2147483648ULL : 2147483647ULL))
        return -1;
    return negative ? static_cast<int32_t>(-static_cast<int64_t>(q)) : static_cast<int32_t>(q);
}
