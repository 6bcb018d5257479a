#pragma once

#include <cstdint>

// The driver's records are little-endian words whatever the host's byte order.
namespace little_endian {

inline uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

inline int64_t ReadI64(const uint8_t* p) {
    const uint64_t low = ReadU32(p);
    const uint64_t high = ReadU32(p + 4);
    return static_cast<int64_t>(low | high << 32);
}

} // namespace little_endian
