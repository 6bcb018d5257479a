#include "dialogs/function_select_dialog.h"

#include "dialog_test_support.h"
#include "dialogs/modal_run.h"

#include <QLineEdit>
#include <QListWidget>

namespace {

struct Preselection {
    int index;
    const char* title;
    const char* description;
};

class FunctionSelectPreselectTest : public testing::TestWithParam<Preselection> {};

TEST_P(FunctionSelectPreselectTest, SelectsTheLineAndShowsItsDescription) {
    FunctionSelectDialog dialog;
    dialog.SetSelection(GetParam().index);
    dialog.show();
    const QListWidget* list = FindControl<QListWidget>(dialog, kIdFunctionList);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(), GetParam().title);
    EXPECT_EQ(FindControl<QLineEdit>(dialog, kIdFunctionDescription)->text(),
              GetParam().description);
}

INSTANTIATE_TEST_SUITE_P(
    EveryFunction, FunctionSelectPreselectTest,
    testing::Values(Preselection{0, "Stereo Level Meter", "Two Channel RMS and Peak Level Meter"},
                    Preselection{1, "Multichannel Level Meter",
                                 "8-Channel RMS and Peak Level Meter"},
                    Preselection{2, "Global Level Meter", "Global RMS and Peak Level Meter"}));

TEST(FunctionSelectDialogTest, OkWithoutTouchingTheListReturnsThePreselection) {
    FunctionSelectDialog dialog;
    dialog.SetSelection(2);
    dialog.show();
    ClickButton(dialog, kIdOk);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetSelection(), 2);
}

TEST(FunctionSelectDialogTest, ClickingALineShowsItsDescriptionAndOkReturnsIt) {
    FunctionSelectDialog dialog;
    dialog.SetSelection(0);
    dialog.show();
    ClickItem(*FindControl<QListWidget>(dialog, kIdFunctionList), 1);
    EXPECT_EQ(FindControl<QLineEdit>(dialog, kIdFunctionDescription)->text(),
              "8-Channel RMS and Peak Level Meter");
    ClickButton(dialog, kIdOk);
    EXPECT_EQ(dialog.GetSelection(), 1);
}

TEST(FunctionSelectDialogTest, DoubleClickOnALineEndsAsOk) {
    FunctionSelectDialog dialog;
    dialog.SetSelection(0);
    dialog.show();
    DoubleClickItem(*FindControl<QListWidget>(dialog, kIdFunctionList), 2);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.GetSelection(), 2);
}

// Each way of cancelling after the selection was changed.
class FunctionSelectCancelTest : public testing::TestWithParam<void (*)(FunctionSelectDialog&)> {};

TEST_P(FunctionSelectCancelTest, ReturnsMinusOne) {
    FunctionSelectDialog dialog;
    dialog.SetSelection(0);
    ASSERT_TRUE(ShowActive(dialog));
    ClickItem(*FindControl<QListWidget>(dialog, kIdFunctionList), 2);
    GetParam()(dialog);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(dialog.GetSelection(), -1);
}

INSTANTIATE_TEST_SUITE_P(ButtonEscapeAndCloseBox, FunctionSelectCancelTest,
                         testing::Values([](FunctionSelectDialog& d) { ClickButton(d, kIdCancel); },
                                         [](FunctionSelectDialog& d) {
                                             QTest::keyClick(&d, Qt::Key_Escape);
                                         },
                                         [](FunctionSelectDialog& d) { d.close(); }));

TEST(FunctionSelectDialogTest, AnIndexBeyondTheTableSelectsNothing) {
    FunctionSelectDialog dialog;
    dialog.SetSelection(7);
    dialog.show();
    EXPECT_EQ(FindControl<QListWidget>(dialog, kIdFunctionList)->currentRow(), -1);
    EXPECT_TRUE(FindControl<QLineEdit>(dialog, kIdFunctionDescription)->text().isEmpty());
}

TEST(FunctionSelectDialogTest, F1ShowsItsHelpTopic) {
    HideHelp();
    FunctionSelectDialog dialog;
    ASSERT_TRUE(ShowActive(dialog));
    QTest::keyClick(FindControl<QListWidget>(dialog, kIdFunctionList), Qt::Key_F1);
    EXPECT_TRUE(HelpShows(261));
    EXPECT_TRUE(dialog.isVisible());
}

TEST(FunctionSelectDialogTest, RunFunctionSelectAnswersThroughTheModalRunner) {
    int preselected = -2;
    const ScopedModalRunner runner([&preselected](QDialog& dialog) {
        auto& select = dynamic_cast<FunctionSelectDialog&>(dialog);
        select.show();
        preselected = FindControl<QListWidget>(select, kIdFunctionList)->currentRow();
        ClickItem(*FindControl<QListWidget>(select, kIdFunctionList), 2);
        select.accept();
        return select.result();
    });
    EXPECT_EQ(RunFunctionSelect(1), 2);
    EXPECT_EQ(preselected, 1);
}

} // namespace
