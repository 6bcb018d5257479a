#include "platform/drawing_context.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 220, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = 0;

class DrawingContextTest : public testing::Test {
protected:
    DrawingContextTest() { image.fill(Qt::white); }
    COLORREF At(int x, int y) const { return FromQColor(image.pixelColor(x, y)); }
    // The bounding box of every pixel that is not white.
    QRect Painted() const {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (At(x, y) != kWhite)
                    box |= QRect(x, y, 1, 1);
        return box;
    }
    QRect PaintedIn(COLORREF c) const {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (At(x, y) == c)
                    box |= QRect(x, y, 1, 1);
        return box;
    }

    QImage image{80, 60, QImage::Format_RGB32};
};

TEST_F(DrawingContextTest, FillLeavesRightColumnAndBottomRowUntouched) {
    DrawingContext dc(image);
    dc.FillSolidRect({10, 5, 20, 15}, kRed);
    EXPECT_EQ(At(10, 5), kRed);
    EXPECT_EQ(At(19, 14), kRed);
    EXPECT_EQ(At(20, 14), kWhite);
    EXPECT_EQ(At(19, 15), kWhite);
    EXPECT_EQ(At(9, 5), kWhite);
    EXPECT_EQ(At(10, 4), kWhite);
    EXPECT_EQ(Painted(), QRect(QPoint(10, 5), QPoint(19, 14)));
}

TEST_F(DrawingContextTest, EmptyInvertedAndOffImageFillsAreSafe) {
    DrawingContext dc(image);
    dc.FillRect({20, 5, 20, 15}, kRed);
    dc.FillRect({20, 15, 10, 5}, kRed);
    EXPECT_TRUE(Painted().isNull());
    dc.FillRect({-100, -100, 3, 2}, kRed);
    dc.FillRect({78, 58, 1000, 1000}, kBlue);
    EXPECT_EQ(PaintedIn(kRed), QRect(QPoint(0, 0), QPoint(2, 1)));
    EXPECT_EQ(PaintedIn(kBlue), QRect(QPoint(78, 58), QPoint(79, 59)));
}

TEST_F(DrawingContextTest, SolidFillSetsTheBackgroundColourPlainFillDoesNot) {
    DrawingContext dc(image);
    dc.FillRect({0, 0, 1, 1}, kRed);
    EXPECT_EQ(dc.SetBkColor(kWhite), kWhite);
    dc.FillSolidRect({0, 0, 1, 1}, kBlue);
    EXPECT_EQ(dc.SetBkColor(kWhite), kBlue);
}

TEST_F(DrawingContextTest, LineToLeavesItsEndPointUnpainted) {
    DrawingContext dc(image);
    dc.SelectPen(kRed);
    dc.MoveToEx(10, 20);
    dc.LineTo(30, 20);
    EXPECT_EQ(At(10, 20), kRed);
    EXPECT_EQ(At(29, 20), kRed);
    EXPECT_EQ(At(30, 20), kWhite);
    // Right to left and upward also stop one short, and the position moves on.
    dc.LineTo(30, 10);
    EXPECT_EQ(At(30, 20), kRed);
    EXPECT_EQ(At(30, 11), kRed);
    EXPECT_EQ(At(30, 10), kWhite);
    dc.LineTo(20, 10);
    EXPECT_EQ(At(30, 10), kRed);
    EXPECT_EQ(At(21, 10), kRed);
    EXPECT_EQ(At(20, 10), kWhite);
    EXPECT_EQ(dc.CurrentPosition().x, 20);
    // A line to the current position paints nothing.
    image.fill(Qt::white);
    dc.LineTo(20, 10);
    EXPECT_TRUE(Painted().isNull());
}

TEST_F(DrawingContextTest, DiagonalLineExcludesEndPoint) {
    DrawingContext dc(image);
    dc.MoveToEx(0, 0);
    dc.LineTo(5, 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(At(i, i), kBlack) << i;
    EXPECT_EQ(At(5, 5), kWhite);
}

TEST_F(DrawingContextTest, HexagonPolygonOutlinesInPenAndFillsInBrush) {
    DrawingContext dc(image);
    dc.SelectPen(kBlack);
    dc.SelectBrush(kGreen);
    // The hold marker's shape: left 10, right 30, yh 20, d 4, e 3.
    const POINT hexagon[] = {{14, 17}, {26, 17}, {29, 20}, {26, 23}, {14, 23}, {11, 20}};
    dc.Polygon(hexagon, 6);
    for (const POINT& p : hexagon)
        EXPECT_EQ(At(p.x, p.y), kBlack) << p.x << "," << p.y;
    EXPECT_EQ(At(20, 17), kBlack);
    EXPECT_EQ(At(20, 23), kBlack);
    EXPECT_EQ(At(20, 20), kGreen);
    EXPECT_EQ(At(13, 20), kGreen);
    EXPECT_EQ(At(27, 20), kGreen);
    EXPECT_EQ(Painted(), QRect(QPoint(11, 17), QPoint(29, 23)));
}

// Regression: the fill sampled pixel centres and put a pixel left of the outline's top row
// (at left+3, yh-e for a marker with d = 4, e = 2).
TEST_F(DrawingContextTest, HexagonFillStaysInsideItsOutlineForEveryMarkerShape) {
    const int yh = 30;
    for (int width = 5; width <= 40; ++width) {
        for (int e = 1; e <= 8; ++e) {
            image.fill(Qt::white);
            DrawingContext dc(image);
            dc.SelectPen(kBlack);
            dc.SelectBrush(kGreen);
            const int left = 5, right = left + width, d = width / 5;
            const POINT hexagon[] = {{left + d, yh - e},  {right - d, yh - e}, {right - 1, yh},
                                     {right - d, yh + e}, {left + d, yh + e},  {left + 1, yh}};
            dc.Polygon(hexagon, 6);
            for (int y = 0; y < image.height(); ++y) {
                int first = -1, last = -1;
                for (int x = 0; x < image.width(); ++x)
                    if (At(x, y) == kBlack) {
                        first = first < 0 ? x : first;
                        last = x;
                    }
                for (int x = 0; x < image.width(); ++x) {
                    if (At(x, y) == kGreen) {
                        ASSERT_TRUE(first >= 0 && first < x && x < last)
                            << "fill at " << x << "," << y << " outside the outline " << first
                            << ".." << last << " (width " << width << ", e " << e << ")";
                    }
                }
            }
        }
    }
}

TEST_F(DrawingContextTest, TextAlignmentPlacesTheBoxAsGdiDoes) {
    DrawingContext dc(image);
    dc.SetBkColor(kBlue);
    const QSize extent = dc.GetTextExtent("-60");
    ASSERT_GT(extent.width(), 5);
    ASSERT_GT(extent.height(), 8);

    dc.SetTextAlign(TA_LEFT | TA_TOP);
    dc.TextOut(10, 5, "-60");
    EXPECT_EQ(PaintedIn(kBlue), QRect(10, 5, extent.width(), extent.height()));

    image.fill(Qt::white);
    dc.SetTextAlign(TA_RIGHT);
    dc.TextOut(50, 5, "-60");
    EXPECT_EQ(PaintedIn(kBlue), QRect(50 - extent.width(), 5, extent.width(), extent.height()));

    image.fill(Qt::white);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    dc.TextOut(40, 5, "-60");
    EXPECT_EQ(PaintedIn(kBlue), QRect(40 - extent.width() / 2, 5, extent.width(), extent.height()));
}

TEST_F(DrawingContextTest, TransparentTextPaintsOnlyGlyphs) {
    DrawingContext dc(image);
    dc.SetBkColor(kBlue);
    dc.SetBkMode(TRANSPARENT);
    dc.TextOut(10, 5, "-60");
    EXPECT_TRUE(PaintedIn(kBlue).isNull());
    EXPECT_FALSE(PaintedIn(kBlack).isNull());
}

TEST_F(DrawingContextTest, OpaqueClippedExtTextOutErasesItsRectangleOnly) {
    DrawingContext dc(image);
    dc.FillRect({0, 0, 80, 60}, kRed);
    dc.SetBkColor(kBlue);
    dc.SetTextColor(kWhite);
    dc.SetTextAlign(TA_CENTER | TA_TOP);
    const RECT box{20, 10, 34, 24};
    // Far wider than the box: the clip must hold.
    dc.ExtTextOut(27, 10, ETO_OPAQUE | ETO_CLIPPED, &box, "-188.8 -188.8");
    QRect notRed;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x)
            if (At(x, y) != kRed)
                notRed |= QRect(x, y, 1, 1);
    EXPECT_EQ(notRed, QRect(QPoint(20, 10), QPoint(33, 23)));
    EXPECT_FALSE(PaintedIn(kWhite).isNull());
    EXPECT_FALSE(PaintedIn(kBlue).isNull());
}

TEST_F(DrawingContextTest, CopyAndOrBlits) {
    QImage source(4, 2, QImage::Format_RGB32);
    source.fill(QColor(0, 0, 255));
    source.setPixelColor(1, 0, QColor(255, 0, 0));
    DrawingContext dc(image);
    dc.FillRect({0, 0, 80, 60}, RGB(0, 200, 0));
    dc.BitBlt(10, 10, 2, 1, source, 1, 0, SRCCOPY);
    EXPECT_EQ(At(10, 10), RGB(255, 0, 0));
    EXPECT_EQ(At(11, 10), RGB(0, 0, 255));
    EXPECT_EQ(At(12, 10), RGB(0, 200, 0));
    EXPECT_EQ(At(10, 11), RGB(0, 200, 0));
    dc.BitBlt(20, 20, 2, 1, source, 1, 0, SRCPAINT);
    EXPECT_EQ(At(20, 20), RGB(255, 200, 0));
    EXPECT_EQ(At(21, 20), RGB(0, 200, 255));
    EXPECT_EQ(At(22, 20), RGB(0, 200, 0));
}

TEST_F(DrawingContextTest, SunkenEdgeOnRightAndBottom) {
    DrawingContext dc(image);
    dc.DrawEdge({10, 10, 20, 16}, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    ASSERT_NE(light, GetSysColor(COLOR_BTNSHADOW));
    image.fill(Qt::black);
    dc.DrawEdge({10, 10, 20, 16}, BDR_SUNKENOUTER, BF_RIGHT | BF_BOTTOM);
    EXPECT_EQ(PaintedIn(light), QRect(QPoint(10, 10), QPoint(19, 15)));
    EXPECT_EQ(At(19, 10), light);
    EXPECT_EQ(At(10, 15), light);
    EXPECT_EQ(At(18, 14), kBlack);
    EXPECT_EQ(At(10, 10), kBlack);
}

TEST(LogFont, BytesRoundTripAndRefuseOtherSizes) {
    LOGFONT f = MakeArialFont(-13);
    f.lfWeight = 700;
    f.lfItalic = 1;
    auto bytes = f.ToBytes();
    LOGFONT g;
    ASSERT_TRUE(g.FromBytes(bytes.data(), bytes.size()));
    EXPECT_EQ(g.lfHeight, -13);
    EXPECT_EQ(g.lfWeight, 700);
    EXPECT_STREQ(g.lfFaceName, "ARIAL");
    EXPECT_FALSE(g.FromBytes(bytes.data(), 59));
    EXPECT_EQ(g.lfWeight, 700);
    // A stored face name without terminator is cut at 31 characters.
    std::fill(bytes.begin() + 28, bytes.end(), 'A');
    ASSERT_TRUE(g.FromBytes(bytes.data(), bytes.size()));
    EXPECT_EQ(std::strlen(g.lfFaceName), 31u);
}

// A stored font's height was used as it stood: 50000 took 5.5 GiB; INT_MIN overflowed.
TEST(LogFont, StoredHeightIsClamped) {
    for (const int32_t height : {INT32_MIN, -5000, 50000, INT32_MAX}) {
        LOGFONT f = MakeArialFont(height);
        const auto bytes = f.ToBytes();
        LOGFONT g;
        ASSERT_TRUE(g.FromBytes(bytes.data(), bytes.size()));
        EXPECT_EQ(g.lfHeight, height < 0 ? -kMaxFontHeight : kMaxFontHeight) << height;
    }
}

// Any int32 height makes a font of sane size without overflow (std::abs(INT_MIN), h * h).
TEST(LogFont, AnyHeightMakesAFontWithinTheRange) {
    for (const int32_t height : {INT32_MIN, -1000, -1, 1, 46341, INT32_MAX}) {
        const QFont font = ToQFont(MakeArialFont(height));
        EXPECT_GE(font.pixelSize(), 1) << height;
        EXPECT_LE(font.pixelSize(), kMaxFontHeight) << height;
    }
}

TEST(LogFont, ArialResolvesToAMetricCompatibleFace) {
    QFont f = ToQFont(MakeArialFont(-13));
    QFontInfo info(f);
    EXPECT_EQ(info.pixelSize(), 13);
    EXPECT_TRUE(info.family().contains("Liberation Sans") || info.family().contains("Arial"))
        << info.family().toStdString();
}

} // namespace
