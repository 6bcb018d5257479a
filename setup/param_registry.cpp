#include "setup/param_registry.h"

#include <cmath>
#include <limits>

namespace {

// value * 100 truncated toward zero. Values no int32 can hold saturate, and NaN is stored as
// 0, where a plain conversion would be undefined.
int32_t ToHundredths(double value) {
    double hundredths = std::trunc(value * 100);
    if (std::isnan(hundredths))
        return 0;
    if (hundredths <= std::numeric_limits<int32_t>::min())
        return std::numeric_limits<int32_t>::min();
    if (hundredths >= std::numeric_limits<int32_t>::max())
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(hundredths);
}

} // namespace

void SaveParamsToRegistry(const ParamTable& table, Profile& profile, std::string_view section) {
    for (const ParamDesc& record : table.records) {
        if (IsStoredParam(record))
            profile.WriteInt(section, ParamName(record), ToHundredths(record.value));
    }
}

void LoadParamsFromRegistry(ParamTable& table, const Profile& profile, std::string_view section) {
    for (ParamDesc& record : table.records) {
        if (!IsStoredParam(record))
            continue;
        int32_t hundredths =
            profile.ReadInt(section, ParamName(record), ToHundredths(record.defaultValue));
        ApplyParamValue(record, hundredths * 0.01);
    }
}
