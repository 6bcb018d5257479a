#include "app/frame_geometry.h"

#include <gtest/gtest.h>

using namespace frame_geometry;

TEST(FrameGeometry, KeepOnScreen) {
    const QRect screen(0, 0, 1280, 1024);
    EXPECT_FALSE(KeepOnScreen(QRect(10, 10, 400, 600), screen));
    EXPECT_EQ(KeepOnScreen(QRect(10, -20, 400, 600), screen), QRect(10, 0, 400, 600));
    // Left of the screen and below it: both directions in one move.
    EXPECT_EQ(KeepOnScreen(QRect(-50, 800, 400, 600), screen), QRect(0, 424, 400, 600));
    EXPECT_EQ(KeepOnScreen(QRect(1000, 10, 400, 600), screen), QRect(880, 10, 400, 600));
    // The right limit is the screen width itself, not the virtual screen's right edge.
    EXPECT_FALSE(KeepOnScreen(QRect(1300, 0, 400, 600), QRect(-1280, 0, 2560, 1024)));
    EXPECT_EQ(KeepOnScreen(QRect(2300, 0, 400, 600), QRect(-1280, 0, 2560, 1024)),
              QRect(2160, 0, 400, 600));
    // Wider than the screen: the limits widen to let it hang over both sides.
    EXPECT_FALSE(KeepOnScreen(QRect(-100, 0, 1400, 600), screen));
    EXPECT_EQ(KeepOnScreen(QRect(-300, 0, 1400, 600), screen), QRect(-240, 0, 1400, 600));
    // No screen reported: 3200 x 1500.
    EXPECT_EQ(KeepOnScreen(QRect(0, 1400, 400, 600), QRect()), QRect(0, 900, 400, 600));
}

TEST(FrameGeometry, CentreResize) {
    EXPECT_EQ(CentreResize(QRect(100, 100, 400, 600), 0, 0), QRect(100, 100, 400, 600));
    EXPECT_EQ(CentreResize(QRect(100, 100, 400, 600), 300, 0), QRect(150, 100, 300, 600));
    EXPECT_EQ(CentreResize(QRect(100, 100, 400, 600), 405, 601), QRect(98, 100, 405, 601));
}
