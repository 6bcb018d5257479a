#include "app/global_settings.h"

#include "platform/profile.h"

#include <algorithm>

namespace {

constexpr const char* kSection = "SystemSet";

// Colours are compared unsigned: anything below 10 becomes 10, white and above become white.
COLORREF ClampColor(uint32_t value) {
    return std::clamp<uint32_t>(value, 10, 0xFFFFFF);
}

} // namespace

void GlobalSettings::Load(const Profile& profile) {
    const uint32_t ms = std::clamp<uint32_t>(profile.ReadUInt(kSection, "UpdateTime", 25), 10, 100);
    UpdateTime = ms * 0.001;
    NormalColor = ClampColor(profile.ReadUInt(kSection, "NormalColor", kDefaultNormalColor));
    WarningColor = ClampColor(profile.ReadUInt(kSection, "WarningColor", kDefaultWarningColor));
    ADATContinious = profile.ReadInt(kSection, "ADATContinious", 0) != 0 ? 1 : 0;
}

void GlobalSettings::Store(Profile& profile) const {
    profile.WriteInt(kSection, "UpdateTime", static_cast<int32_t>(UpdateTime * 1000.0));
    profile.WriteInt(kSection, "NormalColor", static_cast<int32_t>(NormalColor));
    profile.WriteInt(kSection, "WarningColor", static_cast<int32_t>(WarningColor));
    profile.WriteInt(kSection, "ADATContinious", ADATContinious);
}

GlobalSettings& Globals() {
    static GlobalSettings settings;
    return settings;
}
