#include "setup/value_dialogs.h"

#include "dialogs/modal_run.h"
#include "setup/select_value_dialog.h"
#include "setup/value_display_dialog.h"
#include "setup/value_input_dialog.h"

#include <QPointer>

namespace {

ParamValueDialog* MakeDialog(ValueDialog kind, const ParamDesc& record, QWidget* owner) {
    switch (kind) {
    case ValueDialog::Input:
        return new ValueInputDialog(record, owner);
    case ValueDialog::Select:
        return new SelectValueDialog(record, owner);
    case ValueDialog::Display:
        break;
    }
    return new ValueDisplayDialog(record, owner);
}

} // namespace

std::optional<double> RunValueDialog(ValueDialog kind, const ParamDesc& record, QWidget* owner) {
    // On the heap: should the owner go while the dialog runs, it takes the dialog with it.
    QPointer<ParamValueDialog> dialog = MakeDialog(kind, record, owner);
    RunModal(*dialog);
    if (!dialog)
        return std::nullopt;
    const std::optional<double> chosen = dialog->Chosen();
    delete dialog.data();
    return chosen;
}
