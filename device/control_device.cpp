#include "device/control_device.h"

bool ControlDevice::Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize,
                            void* out, uint32_t outSize) const {
    uint32_t returned = 0;
    if (!transport_.Request(deviceName, code, in, inSize, out, outSize, &returned))
        return false;
    return returned == outSize;
}
