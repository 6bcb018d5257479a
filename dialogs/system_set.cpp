#include "dialogs/system_set.h"

#include "app/command_ids.h"
#include "app/global_settings.h"
#include "dialogs/color_swatch.h"
#include "dialogs/dialog_template.h"
#include "dialogs/help_window.h"
#include "dialogs/modal_run.h"
#include "platform/drawing_context.h"

#include <QColorDialog>
#include <QPushButton>

std::optional<COLORREF> ChooseColorWithPicker(COLORREF initial, QWidget* parent) {
    QColorDialog picker(ToQColor(initial), parent);
    // Qt's own picker always shows the custom-colour part; a desktop's may not.
    picker.setOption(QColorDialog::DontUseNativeDialog);
    if (RunModal(picker) != QDialog::Accepted)
        return std::nullopt;
    return FromQColor(picker.selectedColor());
}

CSystemSet::CSystemSet(GlobalSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings), normalColor_(settings.NormalColor),
      warningColor_(settings.WarningColor) {
    DialogTemplate form(*this, QStringLiteral("Color Settings"), 178, 58);
    form.GroupBox(QStringLiteral("Color Settings"), {6, 6, 96, 48});
    normalSwatch_ = new ColorSwatch;
    form.Place(*normalSwatch_, kIdNormalSwatch, {12, 19, 18, 12});
    QPushButton* normal =
        form.PushButton(kIdNormalLevel, QStringLiteral("Normal Level"), {36, 19, 60, 14});
    warningSwatch_ = new ColorSwatch;
    form.Place(*warningSwatch_, kIdWarningSwatch, {12, 36, 18, 12});
    QPushButton* warning =
        form.PushButton(kIdWarningLevel, QStringLiteral("Warning Level"), {36, 36, 60, 14});
    QPushButton* ok = form.DefaultPushButton(kIdOk, QStringLiteral("OK"), {120, 6, 50, 14});
    QPushButton* cancel = form.PushButton(kIdCancel, QStringLiteral("Cancel"), {120, 24, 50, 14});
    QPushButton* defaults =
        form.PushButton(kIdSetDefaults, QStringLiteral("Set Defaults"), {120, 42, 50, 14});
    ShowColors();

    connect(normal, &QPushButton::clicked, this, [this] { Choose(normalColor_); });
    connect(warning, &QPushButton::clicked, this, [this] { Choose(warningColor_); });
    connect(defaults, &QPushButton::clicked, this, &CSystemSet::SetDefaults);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    BindHelpKey(*this, help::kColorSettings);
}

void CSystemSet::Choose(COLORREF& color) {
    if (const std::optional<COLORREF> picked = chooser_(color, this))
        color = *picked;
    ShowColors();
}

void CSystemSet::SetDefaults() {
    normalColor_ = GlobalSettings::kDefaultNormalColor;
    warningColor_ = GlobalSettings::kDefaultWarningColor;
    ShowColors();
}

void CSystemSet::ShowColors() {
    normalSwatch_->setColor(ToQColor(normalColor_));
    warningSwatch_->setColor(ToQColor(warningColor_));
}

void CSystemSet::accept() {
    settings_.NormalColor = normalColor_;
    settings_.WarningColor = warningColor_;
    QDialog::accept();
}

void RunColorSettings() {
    CSystemSet dialog(Globals());
    RunModal(dialog);
}
