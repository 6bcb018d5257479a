#pragma once

#include "setup/param_value_dialog.h"

class QLineEdit;
class QWheelEvent;

// "Input Value": the parameter's name, its value for editing with the unit, and the range.
// The wheel steps the value shown; OK takes the entry.
class ValueInputDialog : public ParamValueDialog {
    Q_OBJECT

public:
    explicit ValueInputDialog(const ParamDesc& record, QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;

private:
    void ShowValue();

    ParamDesc shown_; // the record with the dialog's own value
    QLineEdit* value_;
};
