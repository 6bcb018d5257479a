#include "setup/param_lines.h"

#include "setup/number_text.h"

#include <string>

namespace {

ParamDesc* FindRecordForLine(ParamTable& table, std::string_view line) {
    for (ParamDesc& record : table.records) {
        std::string_view name = ParamName(record);
        // Empty slots come last and could never change; skipping them keeps that obvious.
        if (!name.empty() && line.starts_with(name))
            return &record;
    }
    return nullptr;
}

void ApplyParamLine(ParamTable& table, std::string_view line) {
    ParamDesc* record = FindRecordForLine(table, line);
    if (!record)
        return;
    size_t valueStart = ParamName(*record).size() + 1;
    double value = 0;
    if (valueStart <= line.size() && ParseFiniteNumber(line.substr(valueStart), value))
        ApplyParamValue(*record, value);
}

} // namespace

void WriteParamLines(const ParamTable& table, LineWriter& archive) {
    std::string line;
    for (const ParamDesc& record : table.records) {
        if (!IsStoredParam(record))
            continue;
        line.assign(ParamName(record));
        line += '=';
        line += FormatFixed(record.value, 6);
        line += '\n';
        archive.Write(line);
    }
}

void ReadParamLines(ParamTable& table, LineReader& archive) {
    std::string line;
    while (archive.ReadLine(line) && !line.empty())
        ApplyParamLine(table, line);
}
