#pragma once

#include "device/driver_protocol.h"
#include "device/little_endian.h"
#include "driver/sim_driver.h"
#include "tests/unit/driver/sim_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>
#include <optional>
#include <thread>

// A graph card in slot 0 of a driver, read as the program reads it.
namespace graphtest {

namespace dp = driver_protocol;
using namespace std::chrono_literals;

inline constexpr int kInput = 0;
inline constexpr int kPlayback = 1;
inline constexpr int kOutput = 2;

inline bool WaitUntil(const std::function<bool()>& condition) {
    auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(20ms);
    }
    return condition();
}

inline double Db(double power) {
    return 10 * std::log10(power);
}

inline bool Sounds(const simtest::Block& block, int bus, int channel) {
    return !block.Silent(bus, channel);
}

// The known signals {"3:sine:0.5", "64:sine:0.1", "5:burst"} on a bus: -6.02 / -20.00 dB
// peak, -9.03 / -23.01 dB mean square, a full-scale count from the burst, silence elsewhere.
inline void ExpectKnownSignals(const simtest::Block& block, int bus) {
    simtest::Reading loud = block.At(bus, 2);
    EXPECT_NEAR(Db(loud.peak * loud.peak), -6.02, 0.05) << bus;
    EXPECT_NEAR(Db(loud.meanSquare), -9.03, 0.05) << bus;
    EXPECT_EQ(loud.fsc, 0);
    simtest::Reading quiet = block.At(bus, 63);
    EXPECT_NEAR(Db(quiet.peak * quiet.peak), -20.0, 0.05) << bus;
    EXPECT_NEAR(Db(quiet.meanSquare), -23.01, 0.05) << bus;
    EXPECT_EQ(block.At(bus, 4).fsc, 15) << bus;
    for (int ch = 0; ch < 64; ++ch) {
        if (ch != 2 && ch != 63 && ch != 4) {
            EXPECT_TRUE(block.Silent(bus, ch)) << bus << " " << ch;
        }
    }
}

class GraphCardReader : public ::testing::Test {
protected:
    void MakeCard(const std::string& config) { driver_.emplace(simtest::Config(config), clock_); }

    // The speed bits of the card's CardInfo, or nothing when it does not answer.
    std::optional<uint32_t> Status() {
        uint8_t info[dp::kCardInfoSize];
        uint32_t returned = 0;
        if (!driver_->Request(0, dp::IOCTL_CARD_INFO, nullptr, 0, info, sizeof info, &returned))
            return std::nullopt;
        return little_endian::ReadU32(info + dp::kStatusWordOffset);
    }

    std::optional<simtest::Block> Read() {
        std::vector<uint8_t> bytes(dp::kMadiLayout.size);
        uint8_t request[dp::kLevelRequestSize] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        uint32_t returned = 0;
        if (!driver_->Request(0, dp::IOCTL_READ_LEVELS, request, sizeof request, bytes.data(),
                              uint32_t(bytes.size()), &returned))
            return std::nullopt;
        return simtest::Block(0, std::move(bytes));
    }

    // The levels of a fifth of a second of sound, once `ready` holds for a read.
    simtest::Block Measure(const std::function<bool(const simtest::Block&)>& ready) {
        EXPECT_TRUE(WaitUntil([&] {
            auto block = Read();
            return block && ready(*block);
        }));
        std::this_thread::sleep_for(200ms);
        auto block = Read();
        EXPECT_TRUE(block);
        return block ? *block : simtest::Block(0, std::vector<uint8_t>(dp::kMadiLayout.size));
    }

    sim::SteadySimClock clock_;
    std::optional<sim::SimDriver> driver_;
};

} // namespace graphtest
