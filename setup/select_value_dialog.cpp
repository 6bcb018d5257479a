#include "setup/select_value_dialog.h"

#include "dialogs/dialog_template.h"
#include "dialogs/help_window.h"
#include "dialogs/modal_run.h"
#include "setup/control_text.h"
#include "setup/value_entry.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QWheelEvent>
#include <cmath>

SelectValueDialog::SelectValueDialog(const ParamDesc& record, QWidget* parent)
    : ParamValueDialog(parent), record_(record), value_(record.value) {
    DialogTemplate form(*this, QStringLiteral("Select Value"), 172, 82);
    form.ReadOnlyEdit(kIdParamName, {10, 5, 90, 12})->setText(ParamNameText(record));
    list_ = form.ListBox(kIdChoiceList, {10, 20, 90, 55});
    list_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QPushButton* ok = form.DefaultPushButton(kIdOk, QStringLiteral("OK"), {115, 5, 50, 14});
    QPushButton* cancel = form.PushButton(kIdCancel, QStringLiteral("Cancel"), {115, 25, 50, 14});
    QPushButton* help = form.PushButton(kIdHelp, QStringLiteral("Help"), {115, 45, 50, 14});

    const double last = record.choices ? std::trunc(record.max) : -1;
    for (int i = 0; i <= last; ++i) {
        const std::string_view entry = ChoiceEntry(record, i);
        list_->addItem(QString::fromLatin1(entry.data(), static_cast<qsizetype>(entry.size())));
    }
    SelectEntry();

    connect(ok, &QPushButton::clicked, this, &SelectValueDialog::TakeSelection);
    connect(list_, &QListWidget::itemDoubleClicked, this, &SelectValueDialog::TakeSelection);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(help, &QPushButton::clicked, this, [id = record.helpId] { ShowHelpTopic(id); });
    BindHelpKey(*this, record.helpId);
    // The list has few entries: over it the wheel moves the selection rather than scrolling.
    list_->viewport()->installEventFilter(this);
    list_->setFocus();
}

void SelectValueDialog::SelectEntry() {
    const double entry = std::trunc(value_);
    const int row = entry >= 0 && entry < list_->count() ? static_cast<int>(entry) : -1;
    list_->setCurrentRow(row);
    if (row < 0)
        list_->clearSelection();
}

void SelectValueDialog::TakeSelection() {
    const QList<QListWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) {
        QApplication::beep();
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Error"),
                        QStringLiteral("Wrong data selection!"), QMessageBox::Ok, this);
        RunModal(box);
        return;
    }
    Choose(ClampParam(list_->row(selected.front()), record_));
}

bool SelectValueDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport() && event->type() == QEvent::Wheel) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return ParamValueDialog::eventFilter(watched, event);
}

void SelectValueDialog::wheelEvent(QWheelEvent* event) {
    value_ = StepSelectionValue(record_, value_, event->angleDelta().y());
    SelectEntry();
    event->accept();
}
