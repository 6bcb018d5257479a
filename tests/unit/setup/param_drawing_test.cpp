#include "setup/control_text.h"
#include "setup/param_drawing.h"
#include "setup/param_templates.h"
#include "tests/unit/setup/recording_canvas.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

constexpr int32_t kGlyphs = 155;

// The source x of a character's 6-pixel glyph cell.
int32_t Cell(char c) {
    return (c - 32) * 6;
}

std::vector<CanvasOp> Draw(ParamDesc record, bool full = true) {
    RecordingCanvas canvas;
    DrawParamControls(&canvas, {&record, 1}, full);
    return canvas.ops;
}

TEST(ControlText, ShowsValueWithUnitReadoutMarksAndChoices) {
    const struct {
        int32_t type;
        double value;
        int32_t decimals;
        const char* unit;
        const char* expected;
    } cases[] = {
        {kControlNumericBox, -3, 1, "dB", "-3.0 dB "},
        {kControlNumericDisplay, -60, 0, "", "-60  "},
        {kControlNumericBox, 9.96, 1, "s", "9.9 s "}, // cut, not rounded
        {kControlLevelReadout, 0.2, 1, "dB", " OVR   "},
        {kControlLevelReadout, -150, 1, "dB", " UFL   "},
        {kControlLevelReadout, 0.1, 1, "dB", "0.1 dB "},
        {kControlLevelReadout, -144, 1, "dB", "-144.0 dB "},
        {kControlLevelReadout, -3.25, 0, "", "-3.2"},
        // A carry into a new digit keeps the decimal ("-10." would be cut at the old width).
        {kControlLevelReadout, -9.96, 1, "dB", "-10.0 dB "},
        {kControlSelection, 1.9, 0, "", "RMS  "},
        {kControlWrappingSelection, 0, 0, "", "Peak "},
        {kControlSelectionDisplay, 2, 0, "", "OFF  "},
        {kControlSelection, 3, 0, "", ""},  // beyond the entries the record carries
        {kControlSelection, -1, 0, "", ""}, // before them
        {kControlSwitch, 1, 0, "", ""},
    };
    for (const auto& c : cases) {
        ParamDesc record{};
        record.type = c.type;
        record.value = c.value;
        record.decimals = c.decimals;
        snprintf(record.unit, sizeof record.unit, "%s", c.unit);
        record.max = 2;
        record.choices = kLevelTypeChoices;
        EXPECT_EQ(ControlText(record), c.expected) << c.type << " " << c.value;
    }
}

TEST(ChoiceEntry, NeedsChoicesAndAnIndexWithinTheRange) {
    ParamDesc record = kMultiChannelParamTemplate[12]; // bar level type, max 1
    EXPECT_EQ(ChoiceEntry(record, 1), "RMS  ");
    EXPECT_EQ(ChoiceEntry(record, 2), ""); // the list has "OFF  " but the record stops at 1
    EXPECT_EQ(ChoiceEntry(record, std::numeric_limits<double>::quiet_NaN()), "");
    record.choices = nullptr;
    EXPECT_EQ(ChoiceEntry(record, 0), "");
}

TEST(TextBox, RightAlignsTheTextAndFillsTheBoxWithBlanks) {
    ParamDesc record = kStereoParamTemplate[2]; // switch level -3.0 dB at 62, 21, 66 x 10
    const char cells[] = "   -3.0 dB ";         // 11 cells, leftmost first
    std::vector<CanvasOp> expected;
    for (int k = 0; k < 11; ++k)
        expected.push_back(BlitOp(kGlyphs, 62 + 60 - 6 * k, 21, 6, 10, Cell(cells[10 - k]), 0));
    EXPECT_EQ(Draw(record), expected);
}

TEST(TextBox, CutsTheLeftmostCellAtTheLeftEdge) {
    ParamDesc record = kMultiChannelParamTemplate[12]; // bar level type at 194, 66, 50 x 10
    record.value = 1;
    const std::vector<CanvasOp> ops = Draw(record);
    ASSERT_EQ(ops.size(), 9u);
    EXPECT_EQ(ops[0], BlitOp(kGlyphs, 238, 66, 6, 10, Cell(' '), 0));
    EXPECT_EQ(ops[4], BlitOp(kGlyphs, 214, 66, 6, 10, Cell('R'), 0));
    // 50 = 8 cells + 2 pixels: the right two pixels of a blank.
    EXPECT_EQ(ops[8], BlitOp(kGlyphs, 194, 66, 2, 10, Cell(' ') + 4, 0));
}

TEST(TextBox, ATextLongerThanTheBoxShowsItsRightmostCharacters) {
    ParamDesc record = kStereoParamTemplate[5]; // release, 0 decimals, "dB/s"
    record.value = -1234567;
    const std::vector<CanvasOp> ops = Draw(record); // "-1234567 dB/s " is 14 characters
    ASSERT_EQ(ops.size(), 11u);
    EXPECT_EQ(ops[0].sx, Cell(' '));
    EXPECT_EQ(ops[10], BlitOp(kGlyphs, 62, 66, 6, 10, Cell('3'), 0));
}

TEST(TextBox, CharactersWithoutACellShowTheBlank) {
    ParamDesc record = kStereoParamTemplate[1];
    snprintf(record.unit, sizeof record.unit, "{~\x7f");
    const std::vector<CanvasOp> ops = Draw(record);
    for (int k = 1; k <= 3; ++k)
        EXPECT_EQ(ops[k].sx, Cell(' '));
}

TEST(TextBox, ASelectedBoxGetsTheSunkenEdgeAfterItsCells) {
    ParamDesc record = kStereoParamTemplate[1];
    record.flags = PF_SELECTED;
    const std::vector<CanvasOp> ops = Draw(record);
    ASSERT_EQ(ops.size(), 12u);
    EXPECT_EQ(ops.back(), EdgeOp(62, 6, 128, 16));
}

TEST(DrawParamControls, WithoutACanvasEveryMarkStays) {
    ParamDesc record = kStereoParamTemplate[3];
    record.flags = PF_REDRAW;
    DrawParamControls(nullptr, {&record, 1}, true);
    EXPECT_EQ(record.flags, PF_REDRAW);
}

// A graphic record: type, value, range, step and rectangle; bitmap 300.
ParamDesc Graphic(int32_t type, double value, double min, double max, double step, int32_t x,
                  int32_t y, int32_t w, int32_t h) {
    ParamDesc r{};
    r.type = type;
    r.bitmap = 300;
    r.value = value;
    r.min = min;
    r.max = max;
    r.step = step;
    r.x = x;
    r.y = y;
    r.w = w;
    r.h = h;
    r.choices = kLevelTypeChoices;
    return r;
}

struct GraphicCase {
    const char* name;
    ParamDesc record;
    std::vector<CanvasOp> expected;
};

class GraphicControlTest : public testing::TestWithParam<GraphicCase> {};

TEST_P(GraphicControlTest, DrawsItsFacesAtTheLevelOfItsValue) {
    // The table's first record, whose bitmap slider and knob restore their track from.
    ParamDesc records[] = {Graphic(kControlEmpty, 0, 0, 0, 0, 0, 0, 0, 0), GetParam().record};
    records[0].bitmap = 215;
    RecordingCanvas canvas;
    DrawParamControls(&canvas, records, true);
    EXPECT_EQ(canvas.ops, GetParam().expected);
}

// Levels for -30 dB on -60..0 dB, worked out by hand from the drawing rules.
INSTANTIATE_TEST_SUITE_P(
    EveryType, GraphicControlTest,
    testing::Values(
        // a = 20, snapped to 3 pixels: 21.
        GraphicCase{"Bar",
                    Graphic(10, -30, -60, 0, 3, 5, 0, 8, 40),
                    {BlitOp(300, 5, 0, 8, 19, 8, 0), BlitOp(300, 5, 19, 8, 21, 0, 19)}},
        // A step below 1 moves in single pixels instead of dividing by zero.
        GraphicCase{"BarFineStep",
                    Graphic(10, -30, -60, 0, 0.5, 5, 0, 8, 40),
                    {BlitOp(300, 5, 0, 8, 20, 8, 0), BlitOp(300, 5, 20, 8, 20, 0, 20)}},
        GraphicCase{"BarOfEqualBounds",
                    Graphic(10, -30, -30, -30, 3, 5, 0, 8, 40),
                    {BlitOp(300, 5, 0, 8, 40, 8, 0), BlitOp(300, 5, 40, 8, 0, 0, 40)}},
        GraphicCase{"BarSegment",
                    Graphic(11, -30, -60, 0, 3, 5, 0, 8, 40),
                    {BlitOp(300, 5, 0, 8, 40, 8, 0), BlitOp(300, 5, 19, 8, 3, 0, 19)}},
        // round(31 * 0.5) = 16, snapped: 15.
        GraphicCase{"ReservedBar",
                    Graphic(16, -30, -60, 0, 3, 5, 0, 8, 40),
                    {BlitOp(300, 5, 0, 8, 25, 8, 0), BlitOp(300, 5, 25, 8, 15, 0, 25)}},
        GraphicCase{"ReservedSegmentOver",
                    Graphic(17, 0.6, -60, 0, 3, 5, 0, 8, 40),
                    {BlitOp(300, 5, 0, 8, 9, 0, 0)}},
        // -40 dB is compressed to -30 dB.
        GraphicCase{"CompressedBar",
                    Graphic(32, -40, -60, 0, 3, 5, 0, 8, 40),
                    {BlitOp(300, 5, 0, 8, 25, 8, 0), BlitOp(300, 5, 25, 8, 15, 0, 25)}},
        // a = 15: caps of L = 18 and 15.
        GraphicCase{"SegmentCap",
                    Graphic(12, -30, -60, 0, 1, 5, 0, 10, 30),
                    {BlitOp(300, 5, 0, 10, 30, 10, 0), BlitOp(300, 5, 12, 10, 6, 0, 12)}},
        GraphicCase{"SegmentSplit",
                    Graphic(14, -30, -60, 0, 1, 5, 0, 10, 30),
                    {BlitOp(300, 5, 0, 10, 15, 0, 0), BlitOp(300, 5, 15, 10, 15, 10, 15)}},
        // p = round(4800 / 84) = 57; above -24 dB the bar spreads by trunc(-800 / 84): 48.
        GraphicCase{"HorizontalBarTop",
                    Graphic(20, -12, -60, 0, 1, 4, 2, 112, 10),
                    {BlitOp(300, 4, 2, 48, 10, 0, 0), BlitOp(300, 52, 2, 64, 10, 48, 10)}},
        // L = ((36 + 3) / 4) * 4 = 36, a cap of 5.
        GraphicCase{"HorizontalCap",
                    Graphic(21, -30, -60, 0, 1, 4, 2, 112, 10),
                    {BlitOp(300, 35, 2, 5, 10, 31, 0)}},
        // a = 50; without a step J = a + 1.
        GraphicCase{"HorizontalSegmentNoStep",
                    Graphic(24, -30, -60, 0, 0, 4, 2, 100, 10),
                    {BlitOp(300, 4, 2, 100, 10, 0, 10), BlitOp(300, 54, 2, 1, 10, 50, 0)}},
        // Labels 0 to -40 every 20 dB, right-aligned at 18, ORed onto the picture.
        GraphicCase{"NumericScale",
                    Graphic(22, 0, -40, 0, 20, 0, 10, 18, 40),
                    {BlitOp(300, 12, 6, 6, 10, Cell('0'), 0, BlitMode::Paint),
                     BlitOp(300, 12, 26, 6, 10, Cell('0'), 0, BlitMode::Paint),
                     BlitOp(300, 6, 26, 6, 10, Cell('2'), 0, BlitMode::Paint),
                     BlitOp(300, 0, 26, 6, 10, Cell('-'), 0, BlitMode::Paint),
                     BlitOp(300, 12, 46, 6, 10, Cell('0'), 0, BlitMode::Paint),
                     BlitOp(300, 6, 46, 6, 10, Cell('4'), 0, BlitMode::Paint),
                     BlitOp(300, 0, 46, 6, 10, Cell('-'), 0, BlitMode::Paint)}},
        GraphicCase{"NumericScaleWithoutStep", Graphic(22, 0, -40, 0, 0, 0, 10, 18, 40), {}},
        // pos = round(50 * 44 / 100) + 3 = 25.
        GraphicCase{"Slider",
                    Graphic(30, 50, 0, 100, 6, 5, 20, 10, 50),
                    {BlitOp(215, 5, 17, 10, 56, 5, 17), BlitOp(300, 5, 42, 10, 6, 0, 0)}},
        GraphicCase{"KnobAtMin",
                    Graphic(31, 0, 0, 1, 2, 0, 4, 20, 20),
                    {BlitOp(215, 0, 3, 20, 22, 0, 3), MoveOp(10, 14), LineOp(3, 21)}},
        GraphicCase{"KnobAtMax",
                    Graphic(31, 1, 0, 1, 2, 0, 4, 20, 20),
                    {BlitOp(215, 0, 3, 20, 22, 0, 3), MoveOp(10, 14), LineOp(17, 21)}}),
    [](const testing::TestParamInfo<GraphicCase>& info) { return info.param.name; });

// Row: entries 0 to 2 centred on ticks at 10, 60 and 110. Column: right-aligned at 30, 20
// pixels apart. Both OR their cells onto the picture.
TEST(ChoiceLabels, PlaceEachEntryAtItsTick) {
    const struct {
        ParamDesc record;
        CanvasOp lastCellOf[3];
    } cases[] = {
        {Graphic(23, 0, 0, 2, 1, 10, 0, 100, 10),
         {BlitOp(300, 19, 0, 6, 10, Cell(' '), 0, BlitMode::Paint),
          BlitOp(300, 69, 0, 6, 10, Cell(' '), 0, BlitMode::Paint),
          BlitOp(300, 119, 0, 6, 10, Cell(' '), 0, BlitMode::Paint)}},
        {Graphic(35, 0, 0, 2, 1, 0, 0, 30, 40),
         {BlitOp(300, 24, 0, 6, 40, Cell(' '), 0, BlitMode::Paint),
          BlitOp(300, 24, 20, 6, 40, Cell(' '), 0, BlitMode::Paint),
          BlitOp(300, 24, 40, 6, 40, Cell(' '), 0, BlitMode::Paint)}},
    };
    for (const auto& c : cases) {
        RecordingCanvas canvas;
        ParamDesc record = c.record;
        DrawParamControls(&canvas, {&record, 1}, true);
        ASSERT_EQ(canvas.ops.size(), 15u) << c.record.type; // three entries of five cells
        for (int entry = 0; entry < 3; ++entry)
            EXPECT_EQ(canvas.ops[5 * entry], c.lastCellOf[entry]) << c.record.type;
        EXPECT_EQ(canvas.ops[4].sx, Cell('P')) << c.record.type;
    }
}

} // namespace
