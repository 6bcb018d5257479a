#include "platform/muldiv.h"
#include "platform/tick_source.h"

#include <gtest/gtest.h>

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    EXPECT_EQ(MulDiv(5, 1, 2), 3);
    EXPECT_EQ(MulDiv(-5, 1, 2), -3);
    EXPECT_EQ(MulDiv(5, -1, 2), -3);
    EXPECT_EQ(MulDiv(-5, -1, -2), -3);
    EXPECT_EQ(MulDiv(7, 3, 10), 2);  // 2.1
    EXPECT_EQ(MulDiv(9, 3, 10), 3);  // 2.7
    EXPECT_EQ(MulDiv(13, 3, 2), 20); // 19.5
    EXPECT_EQ(MulDiv(-13, 3, 2), -20);
    EXPECT_EQ(MulDiv(40, 13, 40), 13);
}

TEST(MulDiv, UsesAWideIntermediateAndReportsOverflow) {
    EXPECT_EQ(MulDiv(2000000000, 3, 4), 1500000000);
    EXPECT_EQ(MulDiv(2000000000, 2, 1), -1);
    EXPECT_EQ(MulDiv(1, 1, 0), -1);
}

TEST(TickSource, ManualCounterWrapsAsUnsigned32Bits) {
    ManualTickSource t(0xFFFFFFF0u);
    uint32_t before = t.Now();
    t.Advance(0x20);
    EXPECT_EQ(t.Now(), 0x10u);
    EXPECT_EQ(t.Now() - before, 0x20u);
}
