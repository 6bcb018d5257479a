#include "setup/value_display_dialog.h"

#include "dialogs/dialog_template.h"
#include "dialogs/help_window.h"

#include <QLineEdit>
#include <QPushButton>

ValueDisplayDialog::ValueDisplayDialog(const ParamDesc& record, QWidget* parent)
    : ParamValueDialog(parent) {
    DialogTemplate form(*this, QStringLiteral("Display Value (No Entry)"), 172, 46);
    form.ReadOnlyEdit(kIdParamName, {10, 10, 90, 12})->setText(ParamNameText(record));
    QPushButton* ok = form.DefaultPushButton(kIdOk, QStringLiteral("OK"), {115, 5, 50, 14});
    QPushButton* help = form.PushButton(kIdHelp, QStringLiteral("Help"), {115, 25, 50, 14});
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(help, &QPushButton::clicked, this, [id = record.helpId] { ShowHelpTopic(id); });
    BindHelpKey(*this, record.helpId);
}
