#include "device/level_engine.h"
#include "tests/counting_allocator.h"
#include "tests/unit/device/six_card_rig.h"

#include <gtest/gtest.h>

namespace {

class PollAllocationTest : public testing::Test {
protected:
    void SetUp() override {
        six_card_rig::PlugSixCards(transport);
        six_card_rig::RegisterWindows(*engine, views);
        engine->Poll(); // nothing lazy may hide in the first poll either, but keep it apart
    }

    long Reports() const {
        long total = 0;
        for (const six_card_rig::SummingListener& view : views)
            total += view.calls;
        return total;
    }

    long AllocationsDuringPoll() {
        allocations = 0;
        counting = true;
        engine->Poll();
        counting = false;
        return allocations;
    }

    fake::FakeTransport transport;
    ManualTickSource ticks{0};
    std::unique_ptr<LevelEngine> engine = std::make_unique<LevelEngine>(transport, ticks, nullptr);
    std::array<six_card_rig::SummingListener, six_card_rig::kViews> views;
};

TEST_F(PollAllocationTest, PollWithFortyViewsAllocatesNothing) {
    const long before = Reports();
    EXPECT_EQ(AllocationsDuringPoll(), 0);
    EXPECT_EQ(Reports() - before, six_card_rig::kReportsPerPoll);
}

// The counter is not blind: an allocating listener inside the poll is seen.
class AllocatingListener final : public LevelListener {
public:
    void OnLevelReport(const LevelReport&, int32_t) override { held = std::make_unique<int>(1); }
    std::unique_ptr<int> held;
};

TEST_F(PollAllocationTest, CounterSeesAnAllocationInsidePoll) {
    AllocatingListener listener;
    ChannelSelection selection{.CardNumber = 3};
    engine->RegisterView(LevelEngine::kStereoMeter, selection, &listener);
    EXPECT_GT(AllocationsDuringPoll(), 0);
}

} // namespace
