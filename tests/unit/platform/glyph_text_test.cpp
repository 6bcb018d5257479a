#include "platform/drawing_context.h"
#include "platform/glyph_cache.h"

#include <QFontMetrics>
#include <QPainter>
#include <gtest/gtest.h>

namespace {

LOGFONT Font(int32_t height, int32_t weight, bool italic, const char* face) {
    LOGFONT font = MakeArialFont(height);
    font.lfWeight = weight;
    font.lfItalic = italic ? 1 : 0;
    font.SetFaceName(face);
    return font;
}

struct FontCase {
    const char* name;
    LOGFONT font;
};

class GlyphTextTest : public testing::TestWithParam<FontCase> {};

// Text painted glyph by glyph must be what QPainter paints for the whole string, so readouts
// look the same whichever way they were drawn.
TEST_P(GlyphTextTest, GlyphsPaintWhatQPainterPaints) {
    const LOGFONT& font = GetParam().font;
    const QFont qfont = ToQFont(font);
    const QFontMetrics metrics(qfont);
    for (const char* text : {"-188.8", "OVR", "UFL", "-150.0", " -100 ", "dBfs", "A3-8", "ADAT 2",
                             "SPDIF", "RMS", "peak", "right", "AN-12", "+10"}) {
        QImage expected(160, 60, QImage::Format_RGB32);
        expected.fill(Qt::white);
        {
            QPainter p(&expected);
            p.setRenderHint(QPainter::TextAntialiasing, false);
            p.setFont(qfont);
            p.setPen(Qt::black);
            p.drawText(20, 10 + metrics.ascent(), QString::fromLatin1(text));
        }
        QImage actual(160, 60, QImage::Format_RGB32);
        actual.fill(Qt::white);
        DrawingContext dc(actual);
        dc.SelectFont(font);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(20, 10, text);
        EXPECT_EQ(actual, expected) << text;
        EXPECT_EQ(dc.GetTextExtent(text).width(), metrics.horizontalAdvance(text)) << text;
        EXPECT_EQ(dc.GetTextExtent(text).height(), metrics.height());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, GlyphTextTest,
    testing::Values(FontCase{"Arial13", Font(-13, 0, false, "ARIAL")},
                    FontCase{"Arial10", Font(-10, 0, false, "ARIAL")},
                    FontCase{"BoldArial20", Font(-20, 700, false, "ARIAL")},
                    FontCase{"ItalicArial16", Font(-16, 400, true, "ARIAL")},
                    FontCase{"CourierNew12", Font(-12, 0, false, "Courier New")}),
    [](const testing::TestParamInfo<FontCase>& info) { return info.param.name; });

TEST(GlyphCache, ContextsOfOneFontShareItsGlyphsAndAnotherFontGetsItsOwn) {
    const LOGFONT arial = MakeArialFont(-13);
    std::shared_ptr<GlyphSet> first = GlyphsFor(arial);
    EXPECT_EQ(GlyphsFor(arial), first);
    LOGFONT bold = arial;
    bold.lfWeight = 700;
    std::shared_ptr<GlyphSet> other = GlyphsFor(bold);
    EXPECT_NE(other, first);
    EXPECT_EQ(other->Font().lfWeight, 700);
    // Many fonts later the first one is let go, yet a holder keeps using it safely.
    for (int height = -30; height < -14; ++height)
        GlyphsFor(MakeArialFont(height));
    EXPECT_NE(GlyphsFor(arial), first);
    EXPECT_GT(first->Width("-1"), 0);
}

TEST(GlyphCache, ClippedGlyphsStayInsideTheClipAndTheImage) {
    QImage image(30, 20, QImage::Format_RGB32);
    image.fill(Qt::white);
    DrawingContext dc(image);
    dc.SetBkMode(TRANSPARENT);
    const RECT clip{5, 2, 12, 9};
    // Starting left of the image and running past its right edge.
    dc.ExtTextOut(-6, 0, ETO_CLIPPED, &clip, "888888");
    dc.TextOut(24, 12, "8888");
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool inClip = x >= 5 && x < 12 && y >= 2 && y < 9;
            EXPECT_TRUE(inClip || image.pixel(x, y) == qRgb(255, 255, 255)) << x << "," << y;
        }
    }
}

} // namespace
