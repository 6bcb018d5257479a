#include "shell_fixture.h"

#include "meters/vexa_level2_view.h"
#include "meters/vexa_level8_view.h"
#include "tests/counting_allocator.h"

namespace {

class MeterAllocationTest : public ShellTest {
protected:
    void StartWith(int function, int card) {
        profile.WriteInt("Workspace\\Frame0", "SWType", function);
        profile.WriteInt("Workspace\\Frame0", "CardNumber", card);
        Start();
        ASSERT_TRUE(app->InitInstance(""));
        Frame(0)->show();
        QCoreApplication::processEvents();
    }

    // Levels that move every bar, marker and readout from one poll to the next.
    static LevelReport Report(int poll, int pair) {
        const double level = 0.02 + 0.9 * ((poll * 7 + pair * 3) % 11) / 10.0;
        return {.fscCountA = poll % 5 == 0 ? 4 : 0,
                .peakA = level,
                .meanSquareA = level * level / 2,
                .peakB = level / 3,
                .meanSquareB = level * level / 20,
                .elapsed = 0.05};
    }

    // Polls of `pairs` reports; the allocations of all but the first report of each poll.
    // The first report of a poll queues the copy to the screen, which is Qt's to allocate
    // where the display cannot take the rectangles at once (here, offscreen).
    long AllocationsPerPolls(LevelListener& view, int pairs, int polls, int from) {
        long total = 0;
        for (int poll = from; poll < from + polls; ++poll) {
            view.OnLevelReport(Report(poll, 0), 0);
            allocations = 0;
            counting = true;
            for (int pair = 1; pair < pairs; ++pair)
                view.OnLevelReport(Report(poll, pair), pair);
            counting = false;
            total += allocations;
            QCoreApplication::processEvents();
        }
        return total;
    }
};

TEST_F(MeterAllocationTest, GlobalMeterReportsAllocateNothing) {
    StartWith(2, 0);
    auto* view = dynamic_cast<CVexaLevel8View*>(Doc(0)->MeterView());
    ASSERT_NE(view, nullptr);
    ASSERT_EQ(view->ChannelCount(), 64);
    AllocationsPerPolls(*view, 32, 10, 0); // glyphs and buffers come with the first ones
    EXPECT_EQ(AllocationsPerPolls(*view, 32, 40, 10), 0);
    // The reports did draw.
    EXPECT_GT(view->MeterColumns()[63].ballistics.holdDb, -100);
}

TEST_F(MeterAllocationTest, StereoMeterReportsAllocateNothing) {
    StartWith(0, 3);
    auto* view = dynamic_cast<CVexaLevel2View*>(Doc(0)->MeterView());
    ASSERT_NE(view, nullptr);
    AllocationsPerPolls(*view, 4, 10, 0);
    EXPECT_EQ(AllocationsPerPolls(*view, 4, 40, 10), 0);
}

// The counter is not blind.
TEST_F(MeterAllocationTest, CounterSeesAllocations) {
    allocations = 0;
    counting = true;
    auto held = std::make_unique<int>(1);
    counting = false;
    EXPECT_EQ(allocations, 1);
}

} // namespace
