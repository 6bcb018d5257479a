#include "setup/value_entry.h"

#include "setup/number_text.h"

#include <cstring>

namespace {

constexpr int kWheelNotch = 120;
constexpr int kShiftFactor = 10;
// What the dialog reads of its value field.
constexpr size_t kEntryLength = 98;

std::string FormatBound(const ParamDesc& record, double bound) {
    ParamDesc shown = record;
    shown.value = bound;
    return FormatParamValue(shown);
}

} // namespace

std::string ValueRangeText(const ParamDesc& record) {
    const std::string_view unit(record.unit, strnlen(record.unit, sizeof record.unit));
    return FormatBound(record, record.min) + " ... " + FormatBound(record, record.max) + " " +
           std::string(unit);
}

double ParseValueEntry(const ParamDesc& record, std::string_view text) {
    std::string entry(text.substr(0, kEntryLength));
    if (size_t comma = entry.find(','); comma != std::string::npos)
        entry[comma] = '.';
    double value = 0;
    if (!ParseFiniteNumber(entry, value))
        value = 0;
    if (record.max <= 0 && value > 0)
        value = -value;
    return ClampParam(value, record);
}

double StepEntryValue(const ParamDesc& record, double value, int wheelDelta, bool shift) {
    return ClampParam(value + (wheelDelta / kWheelNotch) * (shift ? kShiftFactor : 1) * record.step,
                      record);
}

double StepSelectionValue(const ParamDesc& record, double value, int wheelDelta) {
    return ClampParam(value - wheelDelta / kWheelNotch, record);
}
