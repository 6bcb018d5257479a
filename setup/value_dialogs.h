#pragma once

#include "setup/param_desc.h"
#include "setup/setup_input.h"

#include <optional>

class QWidget;

// Runs the value dialog of `kind` on the record, modally and owned by `owner`, and returns
// the value chosen with OK. The record itself is not changed.
std::optional<double> RunValueDialog(ValueDialog kind, const ParamDesc& record, QWidget* owner);
