#include "dialogs/dialog_units.h"

#include "dialog_test_support.h"
#include "dialogs/about_dialog.h"
#include "dialogs/function_select_dialog.h"
#include "dialogs/system_set.h"

#include "app/global_settings.h"

#include <QPushButton>

namespace {

TEST(DialogUnitsTest, MapsLikeWindowsForTheClassicDialogFont) {
    // 6 by 13 pixels are the base units of the classic 8-point dialog font at 96 dpi, where a
    // 50 by 14 unit button is 75 by 23 pixels.
    const DialogUnits units(6, 13);
    EXPECT_EQ(units.ToPixels({130, 7, 50, 14}), QRect(195, 11, 75, 23));
    EXPECT_EQ(units.ToPixels(187, 65), QSize(281, 106));
    // Halves round away from zero: 5 * 6 / 4 = 7.5 and 4 * 13 / 8 = 6.5.
    EXPECT_EQ(units.ToPixels(5, 4), QSize(8, 7));
}

// The dialog's client size and its OK button stand where the template puts them, in units
// of the dialog's own font.
void ExpectTemplateGeometry(const QDialog& dialog, QSize dlu, DluRect ok) {
    const DialogUnits units(dialog.font());
    EXPECT_EQ(dialog.size(), units.ToPixels(dlu.width(), dlu.height()));
    EXPECT_EQ(FindControl<QPushButton>(dialog, kIdOk)->geometry(), units.ToPixels(ok));
}

TEST(DialogUnitsTest, DialogsFollowTheirTemplates) {
    FunctionSelectDialog select;
    ExpectTemplateGeometry(select, {187, 65}, {130, 7, 50, 14});
    GlobalSettings settings;
    CSystemSet colors(settings);
    ExpectTemplateGeometry(colors, {178, 58}, {120, 6, 50, 14});
    AboutDialog about;
    ExpectTemplateGeometry(about, {235, 55}, {178, 7, 50, 14});
}

} // namespace
