#pragma once

#include "setup/param_value_dialog.h"

class QListWidget;

// "Select Value": the parameter's name and its choices. OK or a double click takes the
// selected entry; without one the dialog says so and stays. The wheel moves the selection.
class SelectValueDialog : public ParamValueDialog {
    Q_OBJECT

public:
    explicit SelectValueDialog(const ParamDesc& record, QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void SelectEntry();
    void TakeSelection();

    ParamDesc record_;
    double value_;
    QListWidget* list_;
};
