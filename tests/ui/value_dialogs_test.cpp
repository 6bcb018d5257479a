#include "dialog_test_support.h"
#include "dialogs/modal_run.h"
#include "setup/param_templates.h"
#include "setup/select_value_dialog.h"
#include "setup/value_dialogs.h"
#include "setup/value_display_dialog.h"
#include "setup/value_input_dialog.h"

#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QWheelEvent>

namespace {

const ParamDesc& Stereo(int slot) {
    return kStereoParamTemplate[slot];
}
const ParamDesc& Multi(int slot) {
    return kMultiChannelParamTemplate[slot];
}
constexpr int kSwitchLevel = 2, kBottomLevel = 3, kPeakHold = 4, kRelease = 5;
constexpr int kTextLevelType = 11, kBarLevelType = 12;

QString Text(const QWidget& dialog, int id) {
    return FindControl<QLineEdit>(dialog, id)->text();
}

void Turn(QWidget& target, int delta, Qt::KeyboardModifiers modifiers = {}) {
    const QPointF at(target.width() / 2.0, target.height() / 2.0);
    QWheelEvent wheel(at, target.mapToGlobal(at), {}, {0, delta}, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(&target, &wheel);
}

// Runs the dialog of `kind` on the record, lets `act` work it, and returns what it chose.
template <class Act>
std::optional<double> RunAndWork(ValueDialog kind, const ParamDesc& record, Act act) {
    const ScopedModalRunner runner([&act](QDialog& dialog) {
        dialog.show();
        act(dialog);
        return dialog.result();
    });
    return RunValueDialog(kind, record, nullptr);
}

std::optional<double> Enter(const ParamDesc& record, const QString& text) {
    return RunAndWork(ValueDialog::Input, record, [&text](QDialog& d) {
        FindControl<QLineEdit>(d, kIdValueEdit)->setText(text);
        ClickButton(d, kIdOk);
    });
}

TEST(ValueInputDialog, ShowsNameValueUnitAndRange) {
    ValueInputDialog dialog(Stereo(kSwitchLevel));
    EXPECT_EQ(dialog.windowTitle(), "Input Value");
    EXPECT_EQ(dialog.size(), DialogUnits(dialog.font()).ToPixels(164, 66));
    EXPECT_EQ(Text(dialog, kIdParamName), "Level Meter Switch Level");
    EXPECT_EQ(Text(dialog, kIdValueEdit), "-3.0");
    EXPECT_EQ(Text(dialog, kIdValueUnit), "dB");
    EXPECT_EQ(Text(dialog, kIdValueRange), "-140.0 ... 0.1 dB");
    EXPECT_FALSE(FindControl<QLineEdit>(dialog, kIdValueEdit)->isReadOnly());
    EXPECT_TRUE(FindControl<QLineEdit>(dialog, kIdValueRange)->isReadOnly());
    EXPECT_EQ(Text(ValueInputDialog(Stereo(kRelease)), kIdValueRange), "10 ... 100 dB/s");
}

TEST(ValueInputDialog, OkTakesTheEntryAsTheFieldReadsIt) {
    EXPECT_EQ(Enter(Stereo(kSwitchLevel), "-12,5"), -12.5);
    EXPECT_EQ(Enter(Stereo(kBottomLevel), "12"), -20);
    EXPECT_EQ(Enter(Stereo(kPeakHold), "letters"), 0.1);
}

TEST(ValueInputDialog, CancelChoosesNothing) {
    EXPECT_EQ(RunAndWork(ValueDialog::Input, Stereo(kSwitchLevel),
                         [](QDialog& d) {
                             FindControl<QLineEdit>(d, kIdValueEdit)->setText("-20");
                             ClickButton(d, kIdCancel);
                         }),
              std::nullopt);
}

TEST(ValueInputDialog, TheWheelStepsTheValueShownAndOkTakesIt) {
    const std::optional<double> chosen =
        RunAndWork(ValueDialog::Input, Stereo(kSwitchLevel), [](QDialog& d) {
            Turn(d, 120);
            EXPECT_EQ(Text(d, kIdValueEdit), "-2.9");
            Turn(d, 120, Qt::ShiftModifier);
            EXPECT_EQ(Text(d, kIdValueEdit), "-1.9");
            Turn(d, 60);
            EXPECT_EQ(Text(d, kIdValueEdit), "-1.9");
            ClickButton(d, kIdOk);
        });
    ASSERT_TRUE(chosen);
    EXPECT_DOUBLE_EQ(*chosen, -1.9);
}

TEST(ValueInputDialog, HelpShowsTheSetupPageAndKeepsTheDialogOpen) {
    HideHelp();
    ValueInputDialog dialog(Stereo(kSwitchLevel));
    dialog.show();
    ClickButton(dialog, kIdHelp);
    EXPECT_TRUE(HelpShows(228));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(SelectValueDialog, ListsTheEntriesUpToTheMaximumWithTheValueSelected) {
    SelectValueDialog text(Multi(kTextLevelType));
    EXPECT_EQ(text.windowTitle(), "Select Value");
    EXPECT_EQ(Text(text, kIdParamName), "Text level type select");
    const QListWidget* list = FindControl<QListWidget>(text, kIdChoiceList);
    EXPECT_EQ(Lines(*list), QStringList({"Peak ", "RMS  ", "OFF  "}));
    EXPECT_EQ(list->currentRow(), 0);

    SelectValueDialog bar(Multi(kBarLevelType));
    EXPECT_EQ(Lines(*FindControl<QListWidget>(bar, kIdChoiceList)),
              QStringList({"Peak ", "RMS  "}));
    EXPECT_EQ(FindControl<QListWidget>(bar, kIdChoiceList)->currentRow(), 1);
}

TEST(SelectValueDialog, OkOrADoubleClickTakesTheSelectedEntry) {
    EXPECT_EQ(RunAndWork(ValueDialog::Select, Multi(kTextLevelType),
                         [](QDialog& d) {
                             ClickItem(*FindControl<QListWidget>(d, kIdChoiceList), 2);
                             ClickButton(d, kIdOk);
                         }),
              2);
    EXPECT_EQ(RunAndWork(ValueDialog::Select, Multi(kTextLevelType),
                         [](QDialog& d) {
                             DoubleClickItem(*FindControl<QListWidget>(d, kIdChoiceList), 1);
                         }),
              1);
}

TEST(SelectValueDialog, TheWheelMovesTheSelectionAlsoOverTheList) {
    EXPECT_EQ(RunAndWork(ValueDialog::Select, Multi(kTextLevelType),
                         [](QDialog& d) {
                             auto* list = FindControl<QListWidget>(d, kIdChoiceList);
                             Turn(*list->viewport(), -120);
                             EXPECT_EQ(list->currentRow(), 1);
                             Turn(d, -240);
                             EXPECT_EQ(list->currentRow(), 2);
                             Turn(d, 120);
                             ClickButton(d, kIdOk);
                         }),
              1);
}

TEST(SelectValueDialog, OkWithoutASelectionSaysSoAndStaysOpen) {
    ParamDesc record = Multi(kTextLevelType);
    record.value = 5; // an entry the list does not have
    QStringList messages;
    bool stillOpen = false;
    const ScopedModalRunner runner([&](QDialog& dialog) {
        if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
            messages << box->windowTitle() + ": " + box->text();
            EXPECT_EQ(box->icon(), QMessageBox::Warning);
            return int(QMessageBox::Ok);
        }
        dialog.show();
        EXPECT_EQ(FindControl<QListWidget>(dialog, kIdChoiceList)->selectedItems().size(), 0);
        ClickButton(dialog, kIdOk);
        stillOpen = dialog.isVisible();
        ClickButton(dialog, kIdCancel);
        return dialog.result();
    });
    EXPECT_EQ(RunValueDialog(ValueDialog::Select, record, nullptr), std::nullopt);
    EXPECT_EQ(messages, QStringList({"Error: Wrong data selection!"}));
    EXPECT_TRUE(stillOpen);
}

TEST(ValueDisplayDialog, ShowsTheNameAndChoosesNothing) {
    ValueDisplayDialog dialog(Multi(kTextLevelType));
    EXPECT_EQ(dialog.windowTitle(), "Display Value (No Entry)");
    EXPECT_EQ(Text(dialog, kIdParamName), "Text level type select");
    EXPECT_EQ(RunAndWork(ValueDialog::Display, Multi(kTextLevelType),
                         [](QDialog& d) { ClickButton(d, kIdOk); }),
              std::nullopt);
}

} // namespace
