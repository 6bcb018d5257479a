#include "platform/drawing_context.h"
#include "setup/bitmap_cache.h"
#include "setup/drawing_context_canvas.h"
#include "setup/param_templates.h"

#include <QImage>
#include <gtest/gtest.h>
#include <string>

namespace {

constexpr QRgb kBackground = qRgb(10, 20, 30);
constexpr QRgb kUntouched = qRgb(255, 0, 255);
constexpr QRgb kUpperFace = qRgb(0, 255, 0);
constexpr QRgb kLowerFace = qRgb(255, 0, 0);

// Bitmaps whose pixels say where they came from: each glyph cell is one colour whose green
// is its character code, each face one colour, any other id a grey of its own.
QImage FakeBitmap(int32_t id) {
    switch (id) {
    case 215:
    case 230: {
        QImage bg(254, 98, QImage::Format_RGB32);
        bg.fill(kBackground);
        return bg;
    }
    case 155: {
        QImage glyphs(546, 10, QImage::Format_RGB32);
        for (int x = 0; x < glyphs.width(); ++x)
            for (int y = 0; y < glyphs.height(); ++y)
                glyphs.setPixel(x, y, qRgb(100, 32 + x / 6, 50));
        return glyphs;
    }
    case 159:
    case 162: {
        QImage faces(id == 159 ? 18 : 26, 20, QImage::Format_RGB32);
        faces.fill(kLowerFace);
        for (int x = 0; x < faces.width(); ++x)
            for (int y = 0; y < 10; ++y)
                faces.setPixel(x, y, kUpperFace);
        return faces;
    }
    default: {
        QImage plain(40, 40, QImage::Format_RGB32);
        plain.fill(qRgb(id % 256, id % 256, id % 256));
        return plain;
    }
    }
}

class SetupDrawingTest : public testing::Test {
protected:
    SetupDrawingTest() : bitmaps_(FakeBitmap), image_(254, 98, QImage::Format_RGB32) {
        Clear();
        for (ParamDesc& r : Records())
            r.flags = 0;
    }

    std::span<ParamDesc> Records() { return store_.Table().records; }
    ParamDesc& Record(int32_t id) { return *FindParamById(store_.Table(), id); }
    void Clear() { image_.fill(kUntouched); }
    void Pass(bool full) {
        DrawingContext dc(image_);
        DrawParamControls(&dc, Records(), full, bitmaps_);
    }
    QRgb At(int x, int y) const { return image_.pixel(x, y); }

    // The characters of a text box, read back from the cells' colours.
    std::string TextIn(const ParamDesc& r) const {
        std::string text;
        for (int right = r.x + r.w; right > r.x; right -= 6)
            text.insert(text.begin(), static_cast<char>(qGreen(At(right - 1, r.y + 5))));
        return text;
    }

    // Whether every pixel of the rectangle passes `test`.
    template <class Test>
    bool All(int left, int top, int right, int bottom, Test test) const {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                if (!test(At(x, y)))
                    return false;
        return true;
    }
    bool Covers(const ParamDesc& r, int width) const {
        return All(r.x, r.y, r.x + width, r.y + r.h,
                   [](QRgb c) { return c != kUntouched && c != kBackground; });
    }

    MultiChannelParamStore store_;
    BitmapSurfaceCache bitmaps_;
    QImage image_;
};

TEST_F(SetupDrawingTest, AFullPassDrawsTheBackgroundAndThenTwelveControls) {
    Pass(true);
    EXPECT_EQ(At(250, 95), kBackground);
    EXPECT_EQ(At(0, 0), kBackground);
    int drawn = 0;
    for (const ParamDesc& r : Records().subspan(1)) {
        // The check-box faces are 18 pixels wide in their 20-pixel controls.
        const int width = r.bitmap == 159 ? 18 : r.w;
        EXPECT_TRUE(Covers(r, width)) << r.name;
        drawn += Covers(r, width);
    }
    EXPECT_EQ(drawn, 12);
    EXPECT_EQ(TextIn(Record(kParamSwitchLevel)), "   -3.0 dB ");
    EXPECT_EQ(TextIn(Record(kParamFscCount)), " 3 samples ");
    EXPECT_EQ(TextIn(Record(kParamBarLevelType)), "    RMS  ");
    EXPECT_EQ(At(194, 70), qRgb(100, ' ', 50)); // the two pixels left of the first full cell
}

TEST_F(SetupDrawingTest, APartialPassAfterOneChangeDrawsExactlyThatControl) {
    Pass(true);
    Clear();
    ASSERT_TRUE(ApplyParamValue(Record(kParamSwitchLevel), -12.5));
    Pass(false);
    const ParamDesc& r = Record(kParamSwitchLevel);
    EXPECT_EQ(TextIn(r), "  -12.5 dB ");
    int untouched = 0;
    for (int y = 0; y < 98; ++y)
        for (int x = 0; x < 254; ++x)
            untouched += At(x, y) == kUntouched;
    EXPECT_EQ(untouched, 254 * 98 - r.w * r.h);
}

TEST_F(SetupDrawingTest, ACheckBoxShowsItsUpperFaceAboveOneHalfOnly) {
    ParamDesc& rms = Record(kParamRmsPlus3Db); // 194, 36, 20 x 10
    for (double value : {0.5, 0.51}) {
        Clear();
        rms.value = value;
        rms.flags = PF_REDRAW;
        Pass(false);
        EXPECT_EQ(At(200, 40), value > 0.5 ? kUpperFace : kLowerFace) << value;
        // Nothing is copied from beyond the 18-pixel face.
        EXPECT_EQ(At(212, 40), kUntouched);
        EXPECT_EQ(At(213, 40), kUntouched);
    }
    // The fixed face always shows the upper one.
    rms.type = kControlUpperFace;
    rms.value = 0;
    rms.flags = PF_REDRAW;
    Pass(false);
    EXPECT_EQ(At(200, 40), kUpperFace);
}

TEST_F(SetupDrawingTest, ASelectedBoxShowsASunkenEdgeThatGoesWithTheSelection) {
    ParamDesc& top = Record(kParamTopLevel); // 62, 6, 66 x 10
    const QRgb light = ToQColor(GetSysColor(COLOR_BTNHIGHLIGHT)).rgb();
    const QRgb blank = qRgb(100, ' ', 50);
    ASSERT_NE(light, blank);
    top.flags = PF_SELECTED | PF_REDRAW;
    Pass(false);
    EXPECT_TRUE(All(127, 6, 128, 16, [&](QRgb c) { return c == light; }));
    EXPECT_TRUE(All(62, 15, 128, 16, [&](QRgb c) { return c == light; }));
    EXPECT_EQ(At(62, 6), blank); // top and left stay as the cells drew them
    EXPECT_EQ(At(126, 14), blank);

    top.flags = PF_REDRAW;
    Pass(false);
    EXPECT_EQ(At(127, 10), blank);
    EXPECT_EQ(At(70, 15), blank);
}

TEST_F(SetupDrawingTest, AHiddenRecordLosesItsMarkAndIsNotDrawn) {
    ParamDesc& top = Record(kParamTopLevel);
    top.flags = PF_HIDDEN | PF_REDRAW;
    Pass(false);
    EXPECT_EQ(top.flags, PF_HIDDEN);
    EXPECT_TRUE(All(0, 0, 254, 98, [](QRgb c) { return c == kUntouched; }));
}

TEST_F(SetupDrawingTest, TheLevelReadoutMarksOverAndUnderflow) {
    ParamDesc& readout = Record(kParamSwitchLevel);
    readout.type = kControlLevelReadout;
    const struct {
        double value;
        const char* text;
    } cases[] = {{0.2, "     OVR   "}, {-150, "     UFL   "}, {0.1, "    0.1 dB "}};
    for (const auto& c : cases) {
        readout.value = c.value;
        readout.flags = PF_REDRAW;
        Pass(false);
        EXPECT_EQ(TextIn(readout), c.text) << c.value;
    }
}

TEST_F(SetupDrawingTest, AFramedControlGetsItsFrameOutsideItsRectangle) {
    ParamDesc& rms = Record(kParamRmsPlus3Db); // 194, 36 to 214, 46
    rms.flags = PF_FRAMED;
    Pass(true);
    const QRgb dark = qRgb(60, 60, 60);
    const QRgb light = qRgb(160, 160, 160);
    EXPECT_EQ(At(193, 46), dark);
    EXPECT_EQ(At(193, 36), dark);
    EXPECT_EQ(At(193, 35), dark);
    EXPECT_EQ(At(213, 35), dark);
    EXPECT_EQ(At(214, 35), light);
    EXPECT_EQ(At(214, 46), light);
    EXPECT_EQ(At(194, 46), light);
}

TEST(BitmapSurfaceCache, ASixtyFirstBitmapGetsNoSurfaceWhileTheFirstSixtyStillDraw) {
    int loads = 0;
    BitmapSurfaceCache cache([&loads](int32_t id) {
        ++loads;
        return FakeBitmap(id);
    });
    for (int32_t id = 1; id <= 60; ++id)
        ASSERT_NE(cache.GetBitmapDC(id), nullptr) << id;
    EXPECT_EQ(cache.GetBitmapDC(61), nullptr);
    EXPECT_EQ(cache.GetBitmapDC(-1), nullptr);
    EXPECT_EQ(cache.size(), 60u);

    ParamDesc faces[] = {{}, {}};
    faces[0].type = faces[1].type = kControlUpperFace;
    faces[0].w = faces[1].w = faces[0].h = faces[1].h = 4;
    faces[0].bitmap = 1;
    faces[1].x = 10;
    faces[1].bitmap = 61;
    QImage image(20, 4, QImage::Format_RGB32);
    image.fill(kUntouched);
    DrawingContext dc(image);
    DrawParamControls(&dc, faces, true, cache);
    EXPECT_EQ(image.pixel(1, 1), qRgb(1, 1, 1));
    EXPECT_EQ(image.pixel(11, 1), kUntouched);
    EXPECT_EQ(loads, 60); // each loaded once
}

TEST(SetupBitmaps, TheProgramCarriesEveryBitmapOfTheTablesAtItsSize) {
    const struct {
        int32_t id;
        QSize size;
    } bitmaps[] = {
        {230, {254, 98}}, {215, {254, 98}}, {155, {546, 10}}, {159, {18, 20}}, {162, {26, 20}}};
    for (const auto& b : bitmaps) {
        const QImage image = LoadSetupBitmap(b.id);
        EXPECT_EQ(image.size(), b.size) << b.id;
        EXPECT_EQ(image.format(), QImage::Format_RGB32) << b.id;
    }
    EXPECT_TRUE(LoadSetupBitmap(999).isNull());
}

} // namespace
