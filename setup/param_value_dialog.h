#pragma once

#include "setup/param_desc.h"

#include <QDialog>
#include <QString>
#include <optional>

// Control ids of the value dialogs' templates.
inline constexpr int kIdParamName = 1101;
inline constexpr int kIdValueEdit = 1098;
inline constexpr int kIdValueUnit = 1100;
inline constexpr int kIdValueRange = 1026;
inline constexpr int kIdChoiceList = 1114;

// A dialog on one parameter record. It leaves the record alone: the value chosen with OK is
// handed back, and the setup window stores it once the dialog has ended.
class ParamValueDialog : public QDialog {
    Q_OBJECT

public:
    // The value chosen with OK; none after Cancel or for a dialog that only shows.
    std::optional<double> Chosen() const { return chosen_; }

protected:
    using QDialog::QDialog;
    void Choose(double value) {
        chosen_ = value;
        accept();
    }

private:
    std::optional<double> chosen_;
};

// The texts of a record, as its dialogs show them.
inline QString ParamNameText(const ParamDesc& record) {
    const std::string_view name = ParamName(record);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}
