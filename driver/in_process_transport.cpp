#include "driver/in_process_transport.h"

#include "driver/device_names.h"

InProcessTransport::InProcessTransport(const sim::DriverConfig& config)
    : driver_(config, steadyClock_) {}

InProcessTransport::InProcessTransport(const sim::DriverConfig& config, const sim::SimClock& clock)
    : driver_(config, clock) {}

bool InProcessTransport::Request(const char* deviceName, uint32_t code, const void* in,
                                 uint32_t inSize, void* out, uint32_t outSize,
                                 uint32_t* bytesReturned) {
    if (deviceName == nullptr)
        return false;
    return driver_.Request(sim::SlotForDeviceName(deviceName), code, in, inSize, out, outSize,
                           bytesReturned);
}
