#pragma once

#include <cstdint>

// How a control request reaches a card: the one seam between the core and a driver.
// Each call is a whole open / request / close cycle; nothing survives between calls, so a
// card that is plugged in, removed or switched to another speed is seen by the next request.
class DriverTransport {
public:
    virtual ~DriverTransport() = default;

    // deviceName is the Windows-style name, for example "\\.\madiOut32". Returns false when
    // the device cannot be opened or the request fails. On success *bytesReturned (at most
    // outSize) bytes of `out` were written; the rest of `out` is left as it was.
    virtual bool Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize,
                         void* out, uint32_t outSize, uint32_t* bytesReturned) = 0;
};
