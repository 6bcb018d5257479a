#pragma once

#include "device/driver_protocol.h"
#include "device/little_endian.h"
#include "driver/card_config.h"
#include "driver/in_process_transport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Simulated cards on a hand-moved clock, and the levels of one read decoded.
namespace simtest {

inline constexpr const char* kSlotNames[driver_protocol::kCardSlots] = {
    "\\\\.\\madiOut0",    "\\\\.\\madiOut32",    "\\\\.\\madiOut64",
    "\\\\.\\kestrelOut0", "\\\\.\\kestrelOut13", "\\\\.\\kestrelOut26"};

inline sim::DriverConfig Config(const std::string& text) {
    sim::DriverConfig config;
    std::string error;
    EXPECT_TRUE(sim::ParseDriverConfig(text, config, error)) << error;
    return config;
}

struct Reading {
    double peak = 0;
    double meanSquare = 0;
    int fsc = 0;
};

// One level read of a slot, decoded per bus and driver channel.
class Block {
public:
    Block(int slot, std::vector<uint8_t> bytes) : slot_(slot), bytes_(std::move(bytes)) {}

    uint32_t PeakWord(int bus, int channel) const {
        return little_endian::ReadU32(&bytes_[Layout().peaks[bus] + 4 * channel]);
    }
    int64_t MeanSquareWord(int bus, int channel) const {
        return little_endian::ReadI64(&bytes_[Layout().meanSquares[bus] + 8 * channel]);
    }
    Reading At(int bus, int channel) const {
        uint32_t word = PeakWord(bus, channel);
        return {(word & driver_protocol::kPeakMagnitudeMask) * driver_protocol::kPeakScale,
                MeanSquareWord(bus, channel) * driver_protocol::kMeanSquareScale,
                static_cast<int>(word & driver_protocol::kFscMask)};
    }
    bool Silent(int bus, int channel) const {
        return PeakWord(bus, channel) == 0 && MeanSquareWord(bus, channel) == 0;
    }
    const std::vector<uint8_t>& Bytes() const { return bytes_; }

private:
    const driver_protocol::LevelBlockLayout& Layout() const {
        return driver_protocol::LayoutForSlot(slot_);
    }
    int slot_;
    std::vector<uint8_t> bytes_;
};

class Rack {
public:
    explicit Rack(const std::string& config) : transport(Config(config), clock) {}

    // Moves the clock on by `ms` and reads the slot's levels.
    Block ReadAfter(int slot, int64_t ms) {
        clock.AdvanceMs(ms);
        return Read(slot);
    }
    Block Read(int slot) {
        std::vector<uint8_t> bytes(driver_protocol::LayoutForSlot(slot).size, 0xAA);
        uint8_t request[driver_protocol::kLevelRequestSize] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        uint32_t returned = 0;
        EXPECT_TRUE(transport.Request(kSlotNames[slot], driver_protocol::IOCTL_READ_LEVELS, request,
                                      sizeof request, bytes.data(),
                                      static_cast<uint32_t>(bytes.size()), &returned));
        EXPECT_EQ(returned, bytes.size());
        return Block(slot, std::move(bytes));
    }

    sim::ManualSimClock clock;
    InProcessTransport transport;
};

} // namespace simtest
