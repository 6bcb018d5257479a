#include "setup/param_desc.h"

#include "setup/number_text.h"

#include <algorithm>
#include <cstring>
#include <utility>

void InitParamTable(ParamTable& table, std::span<ParamDesc> records, std::span<ParamDesc*> index,
                    int32_t width, int32_t height) {
    table.records = records;
    table.index = index;
    table.width = width;
    table.height = height;
    std::fill(index.begin(), index.end(), nullptr);
    for (ParamDesc& record : records) {
        if (record.id >= 0 && static_cast<size_t>(record.id) < index.size())
            index[static_cast<size_t>(record.id)] = &record;
        record.flags |= PF_CHANGED;
    }
}

double ClampParam(double value, const ParamDesc& record) {
    // Written with "less than max" tests only, so that NaN ends up at max.
    double capped = value < record.max ? value : record.max;
    if (capped < record.min)
        return record.min;
    return value < record.max ? value : record.max;
}

bool ApplyParamValue(ParamDesc& record, double candidate) {
    double clamped = ClampParam(candidate, record);
    if (clamped == record.value)
        return false;
    record.value = clamped;
    record.flags |= PF_CHANGED | PF_REDRAW;
    return true;
}

ParamDesc* FindParamById(ParamTable& table, int32_t id) {
    return const_cast<ParamDesc*>(FindParamById(std::as_const(table), id));
}

const ParamDesc* FindParamById(const ParamTable& table, int32_t id) {
    if (id < 0 || static_cast<size_t>(id) >= table.index.size())
        return nullptr;
    return table.index[static_cast<size_t>(id)];
}

double ParamValue(const ParamTable& table, int32_t id) {
    const ParamDesc* record = FindParamById(table, id);
    return record ? record->value : 0.0;
}

bool SetParamById(double value, int32_t id, ParamTable& table) {
    ParamDesc* record = FindParamById(table, id);
    return record && ApplyParamValue(*record, value);
}

bool ShowParamById(double value, int32_t id, ParamTable& table) {
    ParamDesc* record = FindParamById(table, id);
    if (!record || record->value == value)
        return false;
    record->value = value;
    record->flags |= PF_REDRAW;
    return true;
}

std::string_view ParamName(const ParamDesc& record) {
    return std::string_view(record.name, strnlen(record.name, sizeof record.name));
}

bool IsStoredParam(const ParamDesc& record) {
    switch (record.type) {
    case kControlNumericBox:
    case kControlSwitch:
    case kControlSelection:
    case kControlWrappingSelection:
        return true;
    default:
        return false;
    }
}

std::string FormatParamValue(const ParamDesc& record) {
    std::string text = FormatFixed(record.value, 10);
    // Cutting at the point rather than a fixed distance from the end keeps "nan" and "inf"
    // whole.
    size_t point = text.find('.');
    if (point != std::string::npos) {
        int keep = std::clamp(record.decimals, 0, 10);
        text.resize(keep > 0 ? point + 1 + static_cast<size_t>(keep) : point);
    }
    return text;
}
