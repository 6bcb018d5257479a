#include "app/global_settings.h"
#include "meters/column_drawing.h"

#include <QImage>
#include <gtest/gtest.h>

#include <random>

namespace {

constexpr COLORREF kBlack = 0;
constexpr COLORREF kGrey = RGB(200, 200, 200);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr int32_t kT = 30;
constexpr int32_t kSpan = 300;
constexpr int32_t kB = kT + kSpan + 1;

// One column 20 pixels wide, 0 .. -60 dB over 300 pixels (5 pixels per dB), switch at -3 dB,
// on an image that a full repaint left: grey background, the bar black.
class ColumnDrawingTest : public testing::Test {
protected:
    ColumnDrawingTest() {
        column.bar = {10, kT, 30, kB};
        column.readout = {0, 4, 40, 20};
        column.centerX = 20;
        column.textHeight = 13;
        SetColumnScale(column, false, 0, -3, -60, kSpan);
        Repaint(image);
        normal = Globals().NormalColor;
        warning = Globals().WarningColor;
    }
    ~ColumnDrawingTest() override { Globals() = GlobalSettings{}; }

    static void Repaint(QImage& target) {
        target.fill(QColor(200, 200, 200));
        DrawingContext dc(target);
        dc.FillSolidRect({10, kT, 30, kB}, kBlack);
    }
    COLORREF At(int x, int y) const { return FromQColor(image.pixelColor(x, y)); }
    QRect Bar(double db) {
        column.ballistics.barValue = db;
        DrawingContext dc(image);
        return DrawBar(column, dc);
    }
    QRect Marker(double db) {
        column.ballistics.holdDb = db;
        DrawingContext dc(image);
        return DrawHoldMarker(column, dc, Globals().WarningColor, Globals().NormalColor);
    }

    MeterColumn column;
    QImage image{60, 360, QImage::Format_RGB32};
    COLORREF normal = 0;
    COLORREF warning = 0;
};

TEST_F(ColumnDrawingTest, BarEndsOnTheRowOfItsLevelWithABlackOutline) {
    Bar(-10);
    const int32_t row = kT + column.LevelToOffset(-10);
    ASSERT_EQ(row, kT + 50);
    EXPECT_EQ(At(20, row - 1), kBlack);
    EXPECT_EQ(At(20, row), kBlack); // the value row keeps the repaint's black
    EXPECT_EQ(At(20, row + 1), normal);
    EXPECT_EQ(At(11, row + 1), normal);
    EXPECT_EQ(At(28, kB - 2), normal);
    EXPECT_EQ(At(10, row + 1), kBlack); // outline
    EXPECT_EQ(At(29, row + 1), kBlack);
    EXPECT_EQ(At(20, kB - 1), kBlack);
    // The strip above the top, where markers reach, is black; above it the background.
    EXPECT_EQ(At(20, kT - 2), kBlack);
    EXPECT_EQ(At(20, kT - 3), kGrey);
}

TEST_F(ColumnDrawingTest, WarningAboveTheSwitchLevelNormalBelowWithABlackRowBetween) {
    Bar(-1);
    const int32_t s = kT + 15;
    EXPECT_EQ(At(20, kT + 5), kBlack);
    EXPECT_EQ(At(20, kT + 6), warning);
    EXPECT_EQ(At(20, s - 1), warning);
    EXPECT_EQ(At(20, s), kBlack);
    EXPECT_EQ(At(20, s + 1), normal);
    // An over fills the bar to the top.
    Bar(1);
    EXPECT_EQ(At(20, kT + 1), warning);
    EXPECT_EQ(At(20, kT - 1), kBlack);
    // Silence leaves it black.
    Bar(-600);
    for (int y = kT - 2; y < kB; ++y)
        EXPECT_EQ(At(20, y), kBlack) << y;
}

TEST_F(ColumnDrawingTest, SwitchLevelAtTheEndsOfTheScaleGivesOneColour) {
    SetColumnScale(column, false, 0, 0, -60, kSpan);
    Bar(-0.5);
    EXPECT_EQ(At(20, kT + 3), normal);
    EXPECT_EQ(At(20, kB - 2), normal);
    Repaint(image);
    ForgetDrawing(column);
    SetColumnScale(column, false, 0, -60, -60, kSpan);
    Bar(-0.5);
    EXPECT_EQ(At(20, kT + 3), warning);
    EXPECT_EQ(At(20, kB - 2), warning);
}

TEST_F(ColumnDrawingTest, HoldMarkerIsAHexagonAtTheHoldAndNoneBelowTheBottom) {
    Bar(-30);
    Marker(-10);
    const int32_t yh = kT + 50;
    // w = 20: d = 4; h = 13: e = 2.
    EXPECT_EQ(At(14, yh - 2), kBlack);
    EXPECT_EQ(At(20, yh - 2), kBlack);
    EXPECT_EQ(At(29, yh), kBlack);
    EXPECT_EQ(At(11, yh), kBlack);
    EXPECT_EQ(At(20, yh), normal);
    EXPECT_EQ(At(13, yh), normal);
    EXPECT_EQ(At(20, yh - 3), kBlack); // bar black above it
    Marker(-1);
    EXPECT_EQ(At(20, kT + 5), warning);
    EXPECT_EQ(At(20, yh), kBlack); // the old marker is gone
    // Below the bottom there is none, and the old one is gone.
    Marker(-60.5);
    EXPECT_EQ(At(20, kT + 5), kBlack);
    EXPECT_TRUE(Marker(-61).isEmpty());
}

struct ReadoutCase {
    double value;
    bool allowOver;
    const char* text;
};

class ReadoutDrawing : public ColumnDrawingTest, public testing::WithParamInterface<ReadoutCase> {};

TEST_P(ReadoutDrawing, PrintsTheTextCentredOnItsOpaqueRectangle) {
    column.ballistics.readoutValue = GetParam().value;
    {
        DrawingContext dc(image);
        dc.SetBkColor(kBlue);
        dc.SetTextColor(RGB(255, 255, 0));
        EXPECT_EQ(DrawReadout(column, dc, GetParam().allowOver), QRect(0, 4, 40, 16));
    }
    QImage expected(image.size(), QImage::Format_RGB32);
    Repaint(expected);
    DrawingContext dc(expected);
    dc.SetBkColor(kBlue);
    dc.SetTextColor(RGB(255, 255, 0));
    dc.SetTextAlign(TA_CENTER);
    const RECT box{0, 4, 40, 20};
    dc.ExtTextOut(20, 4, ETO_OPAQUE | ETO_CLIPPED, &box, GetParam().text);
    EXPECT_EQ(image, expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ReadoutDrawing,
                         testing::Values(ReadoutCase{0.3, true, "OVR"},
                                         ReadoutCase{0.3, false, "0.3"},
                                         ReadoutCase{-150.0, true, "-150.0"},
                                         ReadoutCase{-150.1, true, "UFL"}));

TEST_F(ColumnDrawingTest, UnchangedReadoutIsNotPaintedAgainUntilARepaintForgetsIt) {
    column.ballistics.readoutValue = -12.3;
    DrawingContext dc(image);
    EXPECT_FALSE(DrawReadout(column, dc, true).isEmpty());
    EXPECT_TRUE(DrawReadout(column, dc, true).isEmpty());
    dc.SetTextColor(kBlue);
    EXPECT_FALSE(DrawReadout(column, dc, true).isEmpty());
    ForgetDrawing(column);
    EXPECT_FALSE(DrawReadout(column, dc, true).isEmpty());
}

// Drawing only what changed must leave exactly the pixels that drawing everything gives.
TEST_F(ColumnDrawingTest, IncrementalDrawingEqualsFullDrawingReportAfterReport) {
    for (bool compressed : {false, true}) {
        SetColumnScale(column, compressed, 0, -9, -60, kSpan);
        QImage full(image.size(), QImage::Format_RGB32);
        Repaint(image);
        Repaint(full);
        MeterColumn reference = column;
        ForgetDrawing(column);
        std::mt19937 random(compressed ? 7 : 11);
        std::uniform_real_distribution<double> level(-70, 2);
        std::uniform_real_distribution<double> step(-2, 2);
        double hold = -80;
        for (int report = 0; report < 400; ++report) {
            const double bar =
                report % 37 == 0 ? level(random) : column.ballistics.barValue + step(random);
            hold = report % 23 == 0 ? -80 : std::max(hold - 0.3, bar);
            if (report == 200)
                Globals().NormalColor = RGB(0, 120, 255);
            for (MeterColumn* c : {&column, &reference}) {
                c->ballistics.barValue = bar;
                c->ballistics.holdDb = hold;
            }
            Bar(bar);
            Marker(hold);
            ForgetDrawing(reference);
            DrawingContext dc(full);
            DrawBar(reference, dc);
            DrawHoldMarker(reference, dc, Globals().WarningColor, Globals().NormalColor);
            ASSERT_EQ(image, full) << "report " << report << (compressed ? " compressed" : "");
        }
    }
}

TEST_F(ColumnDrawingTest, ASmallChangePaintsOnlyTheRowsBetweenTheOldAndTheNewLevel) {
    Bar(-20);
    const QRect painted = Bar(-21);
    EXPECT_EQ(painted, QRect(10, kT + 100, 20, 5));
    EXPECT_TRUE(Bar(-21).isEmpty());
    Marker(-5);
    EXPECT_TRUE(Marker(-5).isEmpty());
    // A bar change under the marker draws it again.
    EXPECT_FALSE(Bar(-4).isEmpty());
    EXPECT_FALSE(Marker(-5).isEmpty());
}

TEST_F(ColumnDrawingTest, ScaleTicksAndSunkenFrame) {
    DrawingContext dc(image);
    DrawScale(column, dc, 40, false, false);
    // The -10 dB mark: 20 pixels each side of the centre, end excluded.
    EXPECT_EQ(At(0, kT + 50), kBlack);
    EXPECT_EQ(At(39, kT + 50), kBlack);
    EXPECT_EQ(At(40, kT + 50), kGrey);
    // 1 dB marks at MulDiv(40, 13, 40) = 13.
    EXPECT_EQ(At(7, kT + 5 * 7), kBlack);
    EXPECT_EQ(At(6, kT + 5 * 7), kGrey);
    image.fill(QColor(200, 200, 200));
    DrawSunkenFrame(dc, {10, 10, 20, 20});
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    EXPECT_EQ(At(9, 20), shadow);
    EXPECT_EQ(At(9, 9), shadow);
    EXPECT_EQ(At(19, 9), shadow);
    EXPECT_EQ(At(20, 9), light);
    EXPECT_EQ(At(20, 19), light);
    EXPECT_EQ(At(20, 20), light);
    EXPECT_EQ(At(10, 20), light);
    EXPECT_EQ(At(10, 19), kGrey);
}

} // namespace
