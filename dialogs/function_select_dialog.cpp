#include "dialogs/function_select_dialog.h"

#include "app/command_ids.h"
#include "dialogs/dialog_template.h"
#include "dialogs/help_window.h"
#include "dialogs/modal_run.h"
#include "doc/meter_function.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace {

bool IsFunction(int index) {
    return index >= 0 && index < kFunctionCount;
}

} // namespace

FunctionSelectDialog::FunctionSelectDialog(QWidget* parent) : QDialog(parent) {
    DialogTemplate form(*this, QStringLiteral("Function Select"), 187, 65);
    list_ = form.ListBox(kIdFunctionList, {6, 6, 108, 36});
    QPushButton* ok = form.DefaultPushButton(kIdOk, QStringLiteral("OK"), {130, 7, 50, 14});
    QPushButton* cancel = form.PushButton(kIdCancel, QStringLiteral("Cancel"), {130, 24, 50, 14});
    description_ = form.ReadOnlyEdit(kIdFunctionDescription, {6, 48, 176, 10});

    for (const MeterFunction& function : MeterFunctions())
        list_->addItem(QString::fromLatin1(function.title));

    connect(list_, &QListWidget::currentRowChanged, this,
            &FunctionSelectDialog::OnSelectionChanged);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    BindHelpKey(*this, help::kFunctionSelect);
}

void FunctionSelectDialog::SetSelection(int index) {
    selection_ = index;
    const QSignalBlocker blocker(list_);
    if (!IsFunction(index)) {
        // An index beyond the table selects no line rather than reading past the table.
        list_->setCurrentRow(-1);
        description_->clear();
        return;
    }
    list_->setCurrentRow(index);
    description_->setText(QString::fromLatin1(MeterFunctions()[index].description));
}

void FunctionSelectDialog::OnSelectionChanged(int row) {
    selection_ = row;
    if (IsFunction(row))
        description_->setText(QString::fromLatin1(MeterFunctions()[row].description));
}

void FunctionSelectDialog::reject() {
    selection_ = -1;
    QDialog::reject();
}

int RunFunctionSelect(int index) {
    FunctionSelectDialog dialog;
    dialog.SetSelection(index);
    RunModal(dialog);
    return dialog.GetSelection();
}
