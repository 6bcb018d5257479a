#pragma once

#include <cstdint>

// The writing half of device/little_endian.h: the driver builds the records the program reads.
namespace little_endian {

inline void WriteU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline void WriteU64(uint8_t* p, uint64_t v) {
    WriteU32(p, static_cast<uint32_t>(v));
    WriteU32(p + 4, static_cast<uint32_t>(v >> 32));
}

} // namespace little_endian
