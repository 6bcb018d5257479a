#include "setup/control_text.h"

#include "setup/number_text.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kOverLevel = 0.1;
constexpr double kUnderflowLevel = -144;

std::string WithUnit(std::string value, const ParamDesc& record) {
    const std::string_view unit(record.unit, strnlen(record.unit, sizeof record.unit));
    return value.append(" ").append(unit).append(" ");
}

// The readout shows one decimal whatever the record's decimals, so that a carry into a new
// digit (-9.96 gives -10.0) keeps its decimal, and the unit always follows.
std::string ReadoutText(const ParamDesc& record) {
    if (record.value > kOverLevel)
        return " OVR   ";
    if (record.value < kUnderflowLevel)
        return " UFL   ";
    std::string text = FormatFixed(record.value, 1);
    return record.unit[0] != '\0' ? WithUnit(std::move(text), record) : text;
}

} // namespace

std::string_view ChoiceEntry(const ParamDesc& record, double index) {
    const double entry = std::trunc(index);
    // Written so that NaN fails too.
    if (!record.choices || !(entry >= 0 && entry <= std::trunc(record.max)))
        return {};
    const char* text = record.choices[static_cast<size_t>(entry)];
    return std::string_view(text, strnlen(text, kChoiceTextSize));
}

std::string ControlText(const ParamDesc& record) {
    switch (record.type) {
    case kControlNumericBox:
    case kControlNumericDisplay:
        return WithUnit(FormatParamValue(record), record);
    case kControlLevelReadout:
        return ReadoutText(record);
    case kControlSelection:
    case kControlWrappingSelection:
    case kControlSelectionDisplay:
        return std::string(ChoiceEntry(record, record.value));
    default:
        return {};
    }
}
