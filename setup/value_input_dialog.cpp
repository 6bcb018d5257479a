#include "setup/value_input_dialog.h"

#include "dialogs/dialog_template.h"
#include "dialogs/help_window.h"
#include "setup/value_entry.h"

#include <QLineEdit>
#include <QPushButton>
#include <QWheelEvent>
#include <cstring>

ValueInputDialog::ValueInputDialog(const ParamDesc& record, QWidget* parent)
    : ParamValueDialog(parent), shown_(record) {
    DialogTemplate form(*this, QStringLiteral("Input Value"), 164, 66);
    form.ReadOnlyEdit(kIdParamName, {10, 5, 90, 12})->setText(ParamNameText(record));
    value_ = new QLineEdit;
    form.Place(*value_, kIdValueEdit, {10, 20, 65, 12});
    form.ReadOnlyEdit(kIdValueUnit, {80, 20, 20, 12})
        ->setText(QString::fromLatin1(record.unit, strnlen(record.unit, sizeof record.unit)));
    form.ReadOnlyEdit(kIdValueRange, {10, 40, 65, 12})
        ->setText(QString::fromStdString(ValueRangeText(record)));
    QPushButton* ok = form.DefaultPushButton(kIdOk, QStringLiteral("OK"), {105, 5, 50, 14});
    QPushButton* cancel = form.PushButton(kIdCancel, QStringLiteral("Cancel"), {105, 25, 50, 14});
    QPushButton* help = form.PushButton(kIdHelp, QStringLiteral("Help"), {105, 45, 50, 14});

    connect(ok, &QPushButton::clicked, this,
            [this] { Choose(ParseValueEntry(shown_, value_->text().toStdString())); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [id = record.helpId] { ShowHelpTopic(id); });
    BindHelpKey(*this, record.helpId);

    ShowValue();
    value_->setFocus();
}

void ValueInputDialog::ShowValue() {
    value_->setText(QString::fromStdString(FormatParamValue(shown_)));
    value_->selectAll();
}

void ValueInputDialog::wheelEvent(QWheelEvent* event) {
    shown_.value = StepEntryValue(shown_, shown_.value, event->angleDelta().y(),
                                  event->modifiers() & Qt::ShiftModifier);
    ShowValue();
    event->accept();
}
