#include "dialogs/system_set.h"

#include "app/global_settings.h"
#include "dialog_test_support.h"
#include "dialogs/color_swatch.h"
#include "dialogs/modal_run.h"
#include "platform/drawing_context.h"

#include <QColorDialog>

namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kPurple = RGB(128, 0, 128);
constexpr COLORREF kOrange = RGB(255, 128, 0);

GlobalSettings BlueAndYellow() {
    GlobalSettings settings;
    settings.NormalColor = kBlue;
    settings.WarningColor = kYellow;
    return settings;
}

class SystemSetTest : public testing::Test {
protected:
    SystemSetTest() { dialog_.show(); }

    // A chooser that answers `answer` and records what it was asked.
    ColorChooser Answering(std::optional<COLORREF> answer) {
        return [this, answer](COLORREF initial, QWidget* parent) {
            askedWith_.push_back(initial);
            askedBy_ = parent;
            return answer;
        };
    }

    GlobalSettings settings_ = BlueAndYellow();
    CSystemSet dialog_{settings_};
    std::vector<COLORREF> askedWith_;
    QWidget* askedBy_ = nullptr;
};

std::string Hex(COLORREF color) {
    return QStringLiteral("0x%1").arg(color, 6, 16, QLatin1Char('0')).toStdString();
}

// Every pixel of the swatch's outer ring must be black and every pixel inside it the colour.
::testing::AssertionResult PaintedOnePixelInsideItsFrame(QWidget& swatch, COLORREF color) {
    const QImage image = swatch.grab().toImage();
    const QRect inside = image.rect().adjusted(1, 1, -1, -1);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const COLORREF want = inside.contains(x, y) ? color : 0;
            const COLORREF got = FromQColor(image.pixelColor(x, y));
            if (got != want)
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << Hex(got) << ", not " << Hex(want);
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(SystemSetTest, OpensWithTheProgramWideColours) {
    EXPECT_EQ(dialog_.normalColor(), kBlue);
    EXPECT_EQ(dialog_.warningColor(), kYellow);
    EXPECT_STREQ(dialog_.metaObject()->className(), "CSystemSet");
    EXPECT_EQ(dialog_.windowTitle(), "Color Settings");
}

TEST_F(SystemSetTest, SwatchesArePaintedOnePixelInsideTheirBlackFrames) {
    ASSERT_GT(FindControl<QWidget>(dialog_, kIdNormalSwatch)->width(), 2);
    EXPECT_TRUE(
        PaintedOnePixelInsideItsFrame(*FindControl<QWidget>(dialog_, kIdNormalSwatch), kBlue));
    EXPECT_TRUE(
        PaintedOnePixelInsideItsFrame(*FindControl<QWidget>(dialog_, kIdWarningSwatch), kYellow));
}

TEST_F(SystemSetTest, PickingANormalColourStartsFromItAndOkWritesItBack) {
    dialog_.SetColorChooser(Answering(kPurple));
    ClickButton(dialog_, kIdNormalLevel);
    EXPECT_EQ(askedWith_, std::vector<COLORREF>({kBlue}));
    EXPECT_EQ(askedBy_, &dialog_);
    EXPECT_EQ(settings_.NormalColor, kBlue) << "written before OK";
    EXPECT_TRUE(
        PaintedOnePixelInsideItsFrame(*FindControl<QWidget>(dialog_, kIdNormalSwatch), kPurple));
    ClickButton(dialog_, kIdOk);
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
    EXPECT_EQ(settings_.NormalColor, kPurple);
    EXPECT_EQ(settings_.WarningColor, kYellow);
}

TEST_F(SystemSetTest, PickingAWarningColourChangesOnlyTheWarningColour) {
    dialog_.SetColorChooser(Answering(kOrange));
    ClickButton(dialog_, kIdWarningLevel);
    EXPECT_EQ(askedWith_, std::vector<COLORREF>({kYellow}));
    ClickButton(dialog_, kIdOk);
    EXPECT_EQ(settings_.NormalColor, kBlue);
    EXPECT_EQ(settings_.WarningColor, kOrange);
}

TEST_F(SystemSetTest, CancellingThePickerKeepsThePreviousWorkingColour) {
    dialog_.SetColorChooser(Answering(kPurple));
    ClickButton(dialog_, kIdNormalLevel);
    dialog_.SetColorChooser(Answering(std::nullopt));
    ClickButton(dialog_, kIdNormalLevel);
    EXPECT_EQ(askedWith_.back(), kPurple);
    EXPECT_EQ(dialog_.normalColor(), kPurple);
}

TEST_F(SystemSetTest, SetDefaultsRepaintsTheSwatchesAndOkWritesTheDefaults) {
    ClickButton(dialog_, kIdSetDefaults);
    EXPECT_EQ(dialog_.normalColor(), 0x00DC00u);
    EXPECT_EQ(dialog_.warningColor(), 0x0000FFu);
    EXPECT_TRUE(PaintedOnePixelInsideItsFrame(*FindControl<QWidget>(dialog_, kIdNormalSwatch),
                                              RGB(0, 220, 0)));
    EXPECT_TRUE(PaintedOnePixelInsideItsFrame(*FindControl<QWidget>(dialog_, kIdWarningSwatch),
                                              RGB(255, 0, 0)));
    ClickButton(dialog_, kIdOk);
    EXPECT_EQ(settings_.NormalColor, RGB(0, 220, 0));
    EXPECT_EQ(settings_.WarningColor, RGB(255, 0, 0));
}

// Cancel, Escape and the close box after both Set Defaults and a new pick.
class SystemSetCancelTest : public SystemSetTest,
                            public testing::WithParamInterface<void (*)(CSystemSet&)> {};

TEST_P(SystemSetCancelTest, LeavesTheProgramWideColoursAsTheyWere) {
    dialog_.SetColorChooser(Answering(kPurple));
    ClickButton(dialog_, kIdSetDefaults);
    ClickButton(dialog_, kIdWarningLevel);
    ASSERT_TRUE(ShowActive(dialog_));
    GetParam()(dialog_);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(dialog_.result(), QDialog::Rejected);
    EXPECT_EQ(settings_.NormalColor, kBlue);
    EXPECT_EQ(settings_.WarningColor, kYellow);
}

INSTANTIATE_TEST_SUITE_P(ButtonEscapeAndCloseBox, SystemSetCancelTest,
                         testing::Values([](CSystemSet& d) { ClickButton(d, kIdCancel); },
                                         [](CSystemSet& d) { QTest::keyClick(&d, Qt::Key_Escape); },
                                         [](CSystemSet& d) { d.close(); }));

TEST_F(SystemSetTest, F1ShowsItsHelpTopic) {
    HideHelp();
    ASSERT_TRUE(ShowActive(dialog_));
    QTest::keyClick(&dialog_, Qt::Key_F1);
    EXPECT_TRUE(HelpShows(255));
}

// The picker the buttons open unless replaced.
class ColorPickerTest : public testing::Test {
protected:
    // Answers the picker with `color`, or cancels it when there is none.
    void AnswerPicker(std::optional<QColor> color) {
        runner_.emplace([this, color](QDialog& dialog) {
            auto& picker = dynamic_cast<QColorDialog&>(dialog);
            pickerParent_ = picker.parentWidget();
            initial_ = picker.currentColor();
            native_ = !picker.testOption(QColorDialog::DontUseNativeDialog);
            if (!color) {
                picker.reject();
                return picker.result();
            }
            picker.setCurrentColor(*color);
            picker.accept();
            return picker.result();
        });
    }

    std::optional<ScopedModalRunner> runner_;
    QWidget* pickerParent_ = nullptr;
    QColor initial_;
    bool native_ = true;
};

TEST_F(ColorPickerTest, OpensQtsPickerOverTheDialogWithTheCurrentColour) {
    AnswerPicker(QColor(10, 20, 30));
    GlobalSettings settings;
    settings.NormalColor = RGB(0, 100, 200);
    CSystemSet dialog(settings);
    dialog.show();
    ClickButton(dialog, kIdNormalLevel);
    EXPECT_EQ(pickerParent_, &dialog);
    EXPECT_EQ(initial_, QColor(0, 100, 200));
    EXPECT_FALSE(native_);
    EXPECT_EQ(dialog.normalColor(), RGB(10, 20, 30));
}

TEST_F(ColorPickerTest, ACancelledPickerChoosesNothing) {
    AnswerPicker(std::nullopt);
    EXPECT_EQ(ChooseColorWithPicker(kOrange, nullptr), std::nullopt);
}

TEST(RunColorSettingsTest, WorksOnTheProgramWideColours) {
    const GlobalSettings saved = Globals();
    Globals().NormalColor = kBlue;
    const ScopedModalRunner runner([](QDialog& dialog) {
        auto& colors = dynamic_cast<CSystemSet&>(dialog);
        colors.SetColorChooser([](COLORREF, QWidget*) { return kOrange; });
        colors.show();
        ClickButton(colors, kIdNormalLevel);
        ClickButton(colors, kIdOk);
        return colors.result();
    });
    RunColorSettings();
    EXPECT_EQ(Globals().NormalColor, kOrange);
    Globals() = saved;
}

} // namespace
