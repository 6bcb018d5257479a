#pragma once

#include "setup/param_value_dialog.h"

// "Display Value (No Entry)": the name of a parameter that can only be looked at.
class ValueDisplayDialog : public ParamValueDialog {
    Q_OBJECT

public:
    explicit ValueDisplayDialog(const ParamDesc& record, QWidget* parent = nullptr);
};
