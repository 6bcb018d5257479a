#include "shell_fixture.h"

#include "app/frame_placement.h"
#include "meters/vexa_meter_view.h"

#include <QExposeEvent>
#include <QWidget>
#include <QWindow>
#include <functional>
#include <optional>
#include <ostream>

namespace {

// A window manager that frames the window only a while after it was shown: until `Frame`,
// the window is not exposed and its margins read 0.
class LateFrameTest : public testing::Test {
protected:
    LateFrameTest() {
        placement.SetFrameProbe([this] { return report; });
    }

    // The window manager has framed and mapped the window, which learns it when exposed.
    void Frame(const QMargins& frame) {
        report = {frame, true};
        QExposeEvent expose(QRegion(0, 0, 1, 1));
        QCoreApplication::sendEvent(window.windowHandle(), &expose);
    }

    static constexpr QMargins kTitled{1, 20, 1, 5};
    QWidget window;
    FramePlacement placement{window};
    FramePlacement::FrameReport report;
};

// Fault: the outer rectangle became the client rectangle, so every start moved the window up
// by its title bar and made it taller by the frame.
TEST_F(LateFrameTest, APlacementIsAppliedAgainOnceTheFrameIsKnown) {
    const QRect stored(100, 120, 300, 400);
    placement.Place(stored);
    window.show();
    EXPECT_EQ(placement.Outer(), stored);
    Frame(kTitled);
    EXPECT_EQ(window.geometry(), stored.marginsRemoved(kTitled));
    EXPECT_EQ(placement.Outer(), stored);
    EXPECT_EQ(placement.NormalOuter(), stored);
    // Placed again with the frame known: a round trip changes nothing.
    placement.Place(placement.NormalOuter());
    EXPECT_EQ(window.geometry(), stored.marginsRemoved(kTitled));
}

// Fault: a placement asked for while the window manager was framing the window was undone
// when it finished, and margins measured against the unfinished frame placed the window
// across the screen.
TEST_F(LateFrameTest, WhileTheFrameIsBuiltAPlacementWaitsForTheExposure) {
    window.setGeometry(10, 30, 200, 100);
    window.show();
    report.margins = QMargins(0, 0, -199, -99);
    placement.Place(QRect(100, 120, 300, 400));
    QMoveEvent move(QPoint(0, 0), QPoint(10, 30));
    QCoreApplication::sendEvent(&window, &move);
    EXPECT_EQ(window.geometry(), QRect(10, 30, 200, 100));
    EXPECT_EQ(placement.Outer(), QRect(100, 120, 300, 400));
    Frame(kTitled);
    EXPECT_EQ(window.geometry(), QRect(101, 140, 298, 375));
}

// Fault: the window came onto the screen with its client area, its title bar above it.
TEST_F(LateFrameTest, KeepOnScreenBringsTheTitleBarOntoTheScreen) {
    placement.Place(QRect(100, -50, 300, 400));
    window.show();
    placement.KeepOnScreen();
    Frame(kTitled);
    EXPECT_EQ(placement.Outer(), QRect(100, 0, 300, 400));
    EXPECT_EQ(window.geometry().top(), kTitled.top());
}

TEST_F(LateFrameTest, ASizeAloneLeavesThePlaceToTheWindowManager) {
    placement.Resize(QSize(300, 400));
    window.show();
    Frame(kTitled);
    EXPECT_EQ(window.size(), QSize(298, 375));
    EXPECT_FALSE(window.testAttribute(Qt::WA_Moved));
}

// Fault: a drag of the border or a maximize widened a window whose width the meter locks.
TEST_F(LateFrameTest, ALockedWidthIsTheWindowsMinimumAndMaximum) {
    report = {kTitled, true};
    placement.Place(QRect(100, 120, 300, 400));
    window.show();
    EXPECT_TRUE(placement.Lock(240, 0));
    // Centred on the old width, the frame around it.
    EXPECT_EQ(placement.Outer(), QRect(129, 120, 242, 400));
    EXPECT_EQ(placement.LockedOuterWidth(), 242);
    EXPECT_EQ(window.minimumWidth(), 240);
    EXPECT_EQ(window.maximumWidth(), 240);
    window.resize(360, 500);
    EXPECT_EQ(window.size(), QSize(240, 500));
    EXPECT_FALSE(placement.Lock(240, 0));
    // Free again: up to 1300 pixels wide, frame included.
    placement.Lock(0, 0);
    EXPECT_EQ(window.maximumWidth(), 1298);
    EXPECT_EQ(placement.LockedOuterWidth(), 0);
}

// A meter's layout answering the resize that a lock causes, with a lock of its own.
class RelayoutOnResize : public QWidget {
public:
    std::function<void()> onResize;

protected:
    void resizeEvent(QResizeEvent*) override {
        if (onResize)
            onResize();
    }
};

// Fault: a lock made while an earlier one resized the window centred on the half-applied
// geometry, so a window whose layout briefly widened came back far from where it stood.
TEST(FramePlacementRelayout, ALockFromTheResizeOfALockKeepsTheWindowCentred) {
    RelayoutOnResize window;
    FramePlacement placement(window);
    const QMargins frame(1, 20, 1, 5);
    placement.SetFrameProbe([&] { return FramePlacement::FrameReport{frame, true}; });
    const QRect stood(100, 120, 500, 400);
    placement.Place(stood);
    window.show();
    ASSERT_FALSE(placement.Lock(498, 0));
    window.onResize = [&] {
        if (window.width() == 900)
            placement.Lock(498, 0);
    };
    placement.Lock(900, 0);
    EXPECT_EQ(placement.Outer(), stood);
    EXPECT_EQ(window.geometry(), stood.marginsRemoved(frame));
}

// Fault: Exit after a maximize stored the maximized rectangle, or one made up of the normal
// client and the maximized frame.
TEST_F(LateFrameTest, TheNormalRectangleOfAMaximizedWindowHasTheNormalFrame) {
    report = {kTitled, true};
    const QRect normal(100, 120, 300, 400);
    placement.Place(normal);
    window.show();
    report.margins = QMargins(0, 19, 0, 0);
    window.showMaximized();
    ASSERT_TRUE(window.isMaximized());
    EXPECT_NE(placement.Outer(), normal);
    EXPECT_EQ(placement.NormalOuter(), normal);
}

struct StoredCase {
    const char* what;
    int function;
    QRect stored;
    friend void PrintTo(const StoredCase& c, std::ostream* os) { *os << c.what; }
};

class FirstPlacementTest : public ShellTest, public testing::WithParamInterface<StoredCase> {};

// Fault: the width was fitted from the view's size before the frame had laid it out.
TEST_P(FirstPlacementTest, IsCentredOnTheStoredRectangle) {
    const StoredCase& c = GetParam();
    const char* s = "Workspace\\Frame0";
    profile.WriteInt(s, "SWType", c.function);
    profile.WriteInt(s, "CardNumber", 3);
    profile.WriteInt(s, "WinPos.left", c.stored.left());
    profile.WriteInt(s, "WinPos.top", c.stored.top());
    profile.WriteInt(s, "WinPos.right", c.stored.left() + c.stored.width());
    profile.WriteInt(s, "WinPos.bottom", c.stored.top() + c.stored.height());
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    auto* view = dynamic_cast<CVexaMeterView*>(Doc(0)->MeterView());
    ASSERT_NE(view, nullptr);
    ExpectPlaced(Frame(0), c.stored);
    QCoreApplication::processEvents();
    EXPECT_EQ(view->width(), std::max(view->MinWidth(), Frame(0)->NarrowestViewWidth()));
    ExpectPlaced(Frame(0), c.stored);
}

INSTANTIATE_TEST_SUITE_P(Functions, FirstPlacementTest,
                         testing::Values(StoredCase{"StereoFromWide", 0, QRect(100, 100, 900, 500)},
                                         StoredCase{"MultiFromNarrow", 1, QRect(300, 100, 60, 500)},
                                         StoredCase{"MultiFromWide", 1, QRect(20, 50, 760, 500)}),
                         [](const testing::TestParamInfo<StoredCase>& info) {
                             return std::string(info.param.what);
                         });

} // namespace
