#pragma once

#include "device/driver_transport.h"

#include <cstdint>

// One control request on a card's device (open, request, close) through the transport.
class ControlDevice {
public:
    explicit ControlDevice(DriverTransport& transport) : transport_(transport) {}

    // True when the device answered and filled all outSize bytes of `out`. A shorter reply
    // counts as a failure: both replies are fixed-size records, and interpreting a partial
    // one would classify or meter bytes the driver never sent.
    bool Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize) const;

private:
    DriverTransport& transport_;
};
