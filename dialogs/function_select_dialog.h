#pragma once

#include <QDialog>

class QLineEdit;
class QListWidget;

inline constexpr int kIdFunctionList = 1017;
inline constexpr int kIdFunctionDescription = 1018;

// "Function Select": picks the metering function of a window from the function table.
class FunctionSelectDialog : public QDialog {
    Q_OBJECT

public:
    explicit FunctionSelectDialog(QWidget* parent = nullptr);

    // The index to preselect, before the dialog is shown; -1 preselects nothing.
    void SetSelection(int index);
    // The chosen index after the dialog ended; -1 when it was cancelled.
    int GetSelection() const { return selection_; }

    void reject() override;

private:
    void OnSelectionChanged(int row);

    int selection_ = -1;
    QListWidget* list_;
    QLineEdit* description_;
};

// Runs the dialog modally with `index` preselected and returns the chosen index, -1 for
// Cancel.
int RunFunctionSelect(int index);
