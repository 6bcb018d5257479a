#pragma once

#include "device/driver_transport.h"
#include "driver/sim_driver.h"

// Simulated cards inside the program: the embedded default when no driver runs.
class InProcessTransport final : public DriverTransport {
public:
    explicit InProcessTransport(const sim::DriverConfig& config);
    // With a clock of the caller's, which must outlive the transport.
    InProcessTransport(const sim::DriverConfig& config, const sim::SimClock& clock);

    bool Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* bytesReturned) override;

    sim::SimDriver& Driver() { return driver_; }

private:
    sim::SteadySimClock steadyClock_;
    sim::SimDriver driver_;
};
