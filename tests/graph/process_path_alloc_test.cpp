#include "driver/level_tap.h"
#include "tests/counting_allocator.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Fault guarded: an allocation in the audio thread's path (a growing container, a string).
TEST(GraphProcessPath, AllocatesNothingPerPeriod) {
    sim::LevelTap tap(64, 4);
    std::vector<float> samples(256, 1.0f);
    std::vector<const float*> channels(64, samples.data());
    channels[7] = nullptr;
    allocations = 0;
    counting = true;
    // More periods than the ring holds, so the full-ring path runs too.
    for (int period = 0; period < 10; ++period)
        tap.AddPeriod(channels, 256);
    counting = false;
    EXPECT_EQ(allocations, 0);
    std::vector<sim::ChannelLevel> levels(64);
    EXPECT_EQ(tap.Take(levels), 4u * 256);
}

} // namespace
