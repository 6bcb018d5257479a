#include "setup/setup_input.h"
#include "tests/unit/setup/param_test_support.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// A window that records the dialogs it is asked to open.
class FakeWindow final : public SetupWindowPort {
public:
    bool IsMinimized() const override { return minimized; }
    bool OpenValueDialog(ValueDialog dialog, ParamDesc& record) override {
        opened.emplace_back(dialog, record.id);
        return survives;
    }

    bool minimized = false;
    bool survives = true;
    std::vector<std::pair<ValueDialog, int32_t>> opened;
};

// Centre of a record's rectangle.
SetupEvent At(SetupEvent::Kind kind, const ParamDesc& r, int32_t dy = 0, bool shift = false) {
    return {kind, r.x + r.w / 2, r.y + r.h / 2 - dy, shift, kind == SetupEvent::MouseMove};
}

SetupEvent Wheel(int32_t delta, bool shift = false) {
    return {SetupEvent::MouseWheel, 0, 0, shift, false, delta};
}

class SetupInputTest : public testing::Test {
protected:
    SetupInputTest() { ClearFlags(Table()); }
    ParamTable& Table() { return store_.Table(); }
    ParamDesc& Record(int32_t id) { return *FindParamById(Table(), id); }
    int Handle(const SetupEvent& e) {
        return HandleSetupInput(&window_, drag_, Table().records, e);
    }
    // Presses on the record, then drags by each offset upwards from the press in turn.
    int Drag(int32_t id, std::initializer_list<int32_t> offsets, bool shift = false) {
        Handle(At(SetupEvent::LeftButtonDown, Record(id), 0, shift));
        int result = 0;
        for (int32_t dy : offsets)
            result = Handle(At(SetupEvent::MouseMove, Record(id), dy, shift));
        return result;
    }

    MultiChannelParamStore store_;
    FakeWindow window_;
    SetupDrag drag_;
};

TEST_F(SetupInputTest, DraggingABoxMovesAStepEveryTwoPixelsWithinTheRange) {
    const struct {
        bool shift;
        int32_t dy;
        double expected;
        int result;
    } cases[] = {
        {false, 1, -60, 0},
        {false, 4, -40, 2},
        {false, 12, -20, 2},
        {false, -3, -70, 2},
        {false, -200, -140, 2},
        {true, 2, -20, 2}, // Shift from the start: ten steps, 100 dB,
                           // clamped at -20
        {true, 1, -60, 0},
    };
    for (const auto& c : cases) {
        Record(kParamBottomLevel).value = -60;
        ClearFlags(Table());
        EXPECT_EQ(Drag(kParamBottomLevel, {c.dy}, c.shift), c.result) << c.dy << " " << c.shift;
        EXPECT_EQ(Record(kParamBottomLevel).value, c.expected) << c.dy << " " << c.shift;
        EXPECT_EQ((Record(kParamBottomLevel).flags & PF_CHANGED) != 0, c.result != 0);
    }
}

TEST_F(SetupInputTest, ShiftDuringADragCarriesOnFromTheValueReached) {
    ParamDesc& level = Record(kParamSwitchLevel); // -3.0 dB, step 0.1
    Drag(kParamSwitchLevel, {4});
    EXPECT_DOUBLE_EQ(level.value, -2.8);
    // Shift at the same place: without the re-base the value would jump to -1.0.
    Handle(At(SetupEvent::MouseMove, level, 4, true));
    EXPECT_DOUBLE_EQ(level.value, -2.8);
    Handle(At(SetupEvent::MouseMove, level, 6, true));
    EXPECT_DOUBLE_EQ(level.value, -1.8);
    // And letting go of Shift re-bases again.
    Handle(At(SetupEvent::MouseMove, level, 6));
    EXPECT_DOUBLE_EQ(level.value, -1.8);
    Handle(At(SetupEvent::MouseMove, level, 8));
    EXPECT_DOUBLE_EQ(level.value, -1.7);
}

TEST_F(SetupInputTest, ASelectionMovesOneEntryEveryTwelvePixels) {
    ParamDesc& type = Record(kParamTextLevelType); // 0, entries 0..2
    EXPECT_EQ(Drag(kParamTextLevelType, {11}), 0);
    EXPECT_EQ(type.value, 0);
    EXPECT_EQ(Handle(At(SetupEvent::MouseMove, type, 12)), 2);
    EXPECT_EQ(type.value, 1);
    Handle(At(SetupEvent::MouseMove, type, 60));
    EXPECT_EQ(type.value, 2);
}

TEST_F(SetupInputTest, AWrappingSelectionComesRoundFromTheOtherEnd) {
    ParamDesc& type = Record(kParamTextLevelType);
    type.type = kControlWrappingSelection;
    type.value = 2;
    Drag(kParamTextLevelType, {12});
    EXPECT_EQ(type.value, 0);
    Handle(At(SetupEvent::MouseMove, type, -36)); // 2 - 3 comes round to 2
    EXPECT_EQ(type.value, 2);
    Handle(Wheel(120 * 4));
    EXPECT_EQ(type.value, 0); // 2 + 4 wraps to 6 - 3 - 3
    Handle(Wheel(-120));
    EXPECT_EQ(type.value, 2);
}

TEST_F(SetupInputTest, TheWheelStepsTheSelectedBox) {
    const struct {
        int32_t delta;
        bool shift;
        double expected;
        int result;
    } cases[] = {{120, false, -2.9, 2},
                 {120, true, -2.0, 2},
                 {60, false, -3.0, 0},
                 {-240, false, -3.2, 2},
                 {-120 * 200, true, -140, 2}};
    for (const auto& c : cases) {
        Record(kParamSwitchLevel).value = -3;
        Handle(At(SetupEvent::LeftButtonDown, Record(kParamSwitchLevel)));
        Handle(At(SetupEvent::LeftButtonUp, Record(kParamSwitchLevel)));
        ClearFlags(Table());
        Record(kParamSwitchLevel).flags = PF_SELECTED;
        EXPECT_EQ(Handle(Wheel(c.delta, c.shift)), c.result) << c.delta;
        EXPECT_DOUBLE_EQ(Record(kParamSwitchLevel).value, c.expected) << c.delta;
    }
}

// Regression: a value set by a dialog after the press was overwritten without a mark when
// the next wheel turn landed on the value of the press.
TEST_F(SetupInputTest, AValueChangedSinceThePressIsMarkedWhenTheWheelReturnsToIt) {
    ParamDesc& top = Record(kParamTopLevel); // 0 dB, step 10
    Handle(At(SetupEvent::LeftButtonDown, top));
    top.value = -10;
    ClearFlags(Table());
    top.flags = PF_SELECTED;
    EXPECT_EQ(Handle(Wheel(120)), 2);
    EXPECT_EQ(top.value, 0);
    EXPECT_EQ(top.flags, PF_SELECTED | PF_CHANGED | PF_REDRAW);
}

TEST_F(SetupInputTest, AClickTogglesACheckBoxButOnlySelectsABox) {
    ParamDesc& rms = Record(kParamRmsPlus3Db);
    EXPECT_EQ(Handle(At(SetupEvent::LeftButtonDown, rms)), 2);
    EXPECT_EQ(rms.value, 0);
    EXPECT_EQ(rms.flags, PF_CHANGED | PF_REDRAW);
    Handle(At(SetupEvent::LeftButtonDown, rms));
    EXPECT_EQ(rms.value, 1);

    ClearFlags(Table());
    ParamDesc& top = Record(kParamTopLevel);
    EXPECT_EQ(Handle(At(SetupEvent::LeftButtonDown, top)), 2);
    EXPECT_EQ(top.value, 0);
    EXPECT_EQ(top.flags, PF_SELECTED | PF_REDRAW);
    EXPECT_EQ(rms.flags, 0u);
}

TEST_F(SetupInputTest, APressAnywhereDeselectsTheSelectedBox) {
    Handle(At(SetupEvent::LeftButtonDown, Record(kParamTopLevel)));
    ClearFlags(Table());
    Record(kParamTopLevel).flags = PF_SELECTED;
    EXPECT_EQ(Handle({SetupEvent::LeftButtonDown, 250, 95}), 2);
    EXPECT_EQ(Record(kParamTopLevel).flags, PF_REDRAW);
    // Nothing selected, nothing hit but the background: nothing to redraw.
    EXPECT_EQ(Handle({SetupEvent::LeftButtonDown, 250, 95}), 0);
}

TEST_F(SetupInputTest, EdgesOfABoxCountAsHitsAndAPositionAboveTheWindowDoesNot) {
    const ParamDesc& top = Record(kParamTopLevel); // 62, 6, 66 x 10
    EXPECT_EQ(Handle({SetupEvent::LeftButtonDown, 128, 16}), 2);
    EXPECT_TRUE(top.flags & PF_SELECTED);
    Handle({SetupEvent::LeftButtonDown, 0, 0});
    // -65530 wraps to 6 as an unsigned 16-bit coordinate, as the window system delivers it.
    EXPECT_EQ(Handle({SetupEvent::LeftButtonDown, 70, -65530}), 2);
    EXPECT_TRUE(top.flags & PF_SELECTED);
    EXPECT_EQ(Handle({SetupEvent::LeftButtonDown, 70, -1}), 2); // deselects only
    EXPECT_FALSE(top.flags & PF_SELECTED);
}

TEST_F(SetupInputTest, AHiddenControlIsNotHit) {
    Record(kParamRmsPlus3Db).flags = PF_HIDDEN;
    EXPECT_EQ(Handle(At(SetupEvent::LeftButtonDown, Record(kParamRmsPlus3Db))), 0);
    EXPECT_EQ(Record(kParamRmsPlus3Db).value, 1);
}

TEST_F(SetupInputTest, MovingWithoutTheButtonEndsTheDrag) {
    Handle(At(SetupEvent::LeftButtonDown, Record(kParamBottomLevel)));
    SetupEvent move = At(SetupEvent::MouseMove, Record(kParamBottomLevel), 4);
    move.leftButton = false;
    EXPECT_EQ(Handle(move), 0);
    EXPECT_EQ(drag_.dragging, 0);
    EXPECT_EQ(Handle(At(SetupEvent::MouseMove, Record(kParamBottomLevel), 4)), 0);
    EXPECT_EQ(Record(kParamBottomLevel).value, -60);
}

TEST_F(SetupInputTest, SliderAndKnobFollowTheMouse) {
    ParamDesc& slider = Table().records[1];
    slider.type = kControlSlider; // 62, 6, 66 x 10, range -80..0
    slider.value = -40;
    Drag(slider.id, {5});
    EXPECT_EQ(slider.value, -35);

    ParamDesc& knob = Table().records[2];
    knob.type = kControlKnob; // step 0.1, range -140..0
    knob.value = -3;
    Handle(At(SetupEvent::LeftButtonDown, knob));
    SetupEvent move = At(SetupEvent::MouseMove, knob, 4); // 2 steps up
    move.x += 6;                                          // 3 steps right
    Handle(move);
    EXPECT_DOUBLE_EQ(knob.value, -2.5);
}

TEST_F(SetupInputTest, EnterOpensTheDialogOfTheSelectedControlOnly) {
    EXPECT_EQ(Handle({SetupEvent::KeyDown, 0, 0, false, false, 0, kKeyEnter}), 0);
    EXPECT_TRUE(window_.opened.empty());

    Handle(At(SetupEvent::LeftButtonDown, Record(kParamTextLevelType)));
    EXPECT_EQ(Handle({SetupEvent::KeyDown, 0, 0, false, false, 0, 'A'}), 0);
    EXPECT_EQ(Handle({SetupEvent::KeyDown, 0, 0, false, false, 0, kKeyEnter}), 2);
    Handle(At(SetupEvent::LeftButtonDown, Record(kParamPeakHold)));
    Handle({SetupEvent::KeyDown, 0, 0, false, false, 0, kKeyEnter});
    EXPECT_EQ(window_.opened, (std::vector<std::pair<ValueDialog, int32_t>>{
                                  {ValueDialog::Select, kParamTextLevelType},
                                  {ValueDialog::Input, kParamPeakHold}}));
}

TEST_F(SetupInputTest, ADoubleClickOpensTheDialogOfTheControlUnderTheMouse) {
    const struct {
        int32_t type;
        ValueDialog dialog;
    } cases[] = {{kControlNumericBox, ValueDialog::Input},
                 {kControlSelection, ValueDialog::Select},
                 {kControlWrappingSelection, ValueDialog::Select},
                 {kControlNumericDisplay, ValueDialog::Display},
                 {kControlSelectionDisplay, ValueDialog::Display}};
    for (const auto& c : cases) {
        window_.opened.clear();
        Record(kParamBarLevelType).type = c.type;
        EXPECT_EQ(Handle(At(SetupEvent::LeftButtonDoubleClick, Record(kParamBarLevelType))), 2);
        EXPECT_EQ(window_.opened,
                  (std::vector<std::pair<ValueDialog, int32_t>>{{c.dialog, kParamBarLevelType}}));
    }
}

TEST_F(SetupInputTest, ADoubleClickOnACheckBoxDoesNotToggleItAgain) {
    ParamDesc& rms = Record(kParamRmsPlus3Db);
    Handle(At(SetupEvent::LeftButtonDown, rms));
    Handle(At(SetupEvent::LeftButtonUp, rms));
    EXPECT_EQ(Handle(At(SetupEvent::LeftButtonDoubleClick, rms)), 2);
    EXPECT_EQ(rms.value, 0);
    EXPECT_TRUE(window_.opened.empty());
}

TEST_F(SetupInputTest, AWindowGoneDuringADialogEndsTheHandling) {
    window_.survives = false;
    Handle(At(SetupEvent::LeftButtonDown, Record(kParamTopLevel)));
    EXPECT_EQ(Handle({SetupEvent::KeyDown, 0, 0, false, false, 0, kKeyEnter}), 0);
}

TEST_F(SetupInputTest, NothingHappensWithoutAWindowOrWhileItIsMinimised) {
    window_.minimized = true;
    EXPECT_EQ(Handle(At(SetupEvent::LeftButtonDown, Record(kParamRmsPlus3Db))), 0);
    EXPECT_EQ(HandleSetupInput(nullptr, drag_, Table().records,
                               At(SetupEvent::LeftButtonDown, Record(kParamRmsPlus3Db))),
              0);
    EXPECT_EQ(Record(kParamRmsPlus3Db).value, 1);
    EXPECT_EQ(Record(kParamRmsPlus3Db).flags, 0u);
}

} // namespace
