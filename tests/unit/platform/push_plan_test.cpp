#include "platform/push_plan.h"
#include "platform/screen_visibility.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every pixel of `wanted` lies in some push, and no push reaches outside `allowed`.
void ExpectCovers(const std::vector<QRect>& pushes, const QRegion& wanted, const QRegion& allowed) {
    QRegion sent;
    for (const QRect& push : pushes) {
        EXPECT_FALSE(push.isEmpty());
        EXPECT_TRUE((QRegion(push) - allowed).isEmpty()) << "sends hidden pixels";
        sent += push;
    }
    EXPECT_TRUE((wanted - sent).isEmpty()) << "a visible change is not sent";
}

TEST(PushPlan, NeighbouringBarChangesOfSimilarRowsGoAsOneRequest) {
    // A 64-channel meter: columns 8 px wide every 12 px, each changed over rows 100..103.
    std::vector<QRect> changed;
    QRegion wanted;
    for (int i = 0; i < 64; ++i) {
        changed.emplace_back(10 + 12 * i, 100, 8, 4);
        wanted += changed.back();
    }
    const QRegion screen(0, 0, 1000, 600);
    const std::vector<QRect> pushes = PlanPushes(changed, screen);
    EXPECT_EQ(pushes.size(), 1u);
    ExpectCovers(pushes, wanted, screen);
}

TEST(PushPlan, FarApartChangesStaySeparate) {
    // A bar's end at the top and its marker at the bottom: joining would copy 500 rows.
    const std::vector<QRect> changed = {QRect(10, 20, 8, 3), QRect(10, 520, 8, 6),
                                        QRect(400, 300, 8, 2)};
    const QRegion screen(0, 0, 1000, 600);
    const std::vector<QRect> pushes = PlanPushes(changed, screen);
    EXPECT_EQ(pushes.size(), 3u);
    ExpectCovers(pushes, QRegion(changed[0]) + changed[1] + changed[2], screen);
}

TEST(PushPlan, OnlyTheVisiblePartOfAChangeIsSent) {
    // The right half of the window lies under another window, the bottom off the screen.
    const QRegion visible = QRegion(0, 0, 500, 400);
    const std::vector<QRect> changed = {QRect(490, 390, 30, 30), QRect(700, 10, 8, 100), QRect(),
                                        QRect(20, 450, 8, 8)};
    const std::vector<QRect> pushes = PlanPushes(changed, visible);
    ExpectCovers(pushes, QRegion(490, 390, 10, 10), visible);
    EXPECT_EQ(pushes.size(), 1u);
}

TEST(PushPlan, AnOddlyShapedVisiblePartClipsEveryPiece) {
    // Two windows above cover an L of this one.
    const QRegion visible =
        QRegion(0, 0, 300, 300) - QRect(100, 0, 200, 100) - QRect(0, 200, 50, 100);
    std::vector<QRect> changed;
    for (int x = 0; x < 300; x += 20)
        changed.emplace_back(x, x, 10, 150);
    QRegion wanted;
    for (const QRect& r : changed)
        wanted += r;
    ExpectCovers(PlanPushes(changed, visible), wanted & visible, visible);
}

TEST(PushPlan, NothingVisibleSendsNothing) {
    const std::vector<QRect> changed = {QRect(0, 0, 10, 10)};
    EXPECT_TRUE(PlanPushes(changed, QRegion()).empty());
}

TEST(UncoveredPart, WindowsAboveAndTheScreenEdgeCut) {
    const QRect window(100, 50, 400, 300); // on the root
    const QRect screen(0, 0, 450, 1000);   // cuts the right 50 columns
    const std::vector<QRect> above = {QRect(0, 0, 200, 100), QRect(2000, 0, 10, 10)};
    const QRegion expected = QRegion(0, 0, 350, 300) - QRect(0, 0, 100, 50);
    EXPECT_EQ(UncoveredPart(window, screen, above), expected);
}

TEST(UncoveredPart, AFullyCoveredWindowShowsNothing) {
    const std::vector<QRect> above = {QRect(0, 0, 300, 200), QRect(300, 0, 300, 200)};
    EXPECT_TRUE(UncoveredPart(QRect(10, 10, 500, 150), QRect(0, 0, 1920, 1080), above).isEmpty());
}

} // namespace
