#pragma once

#include "platform/colorref.h"

#include <cstdint>

class Profile;

// The program-wide settings of the "SystemSet" section.
struct GlobalSettings {
    static constexpr COLORREF kDefaultNormalColor = RGB(0, 220, 0);
    static constexpr COLORREF kDefaultWarningColor = RGB(255, 0, 0);

    double UpdateTime = 0.025; // seconds; stored back only
    COLORREF NormalColor = kDefaultNormalColor;
    COLORREF WarningColor = kDefaultWarningColor;
    int32_t ADATContinious = 0; // 0 or 1

    // Reads the section, clamping out-of-range values into their ranges.
    void Load(const Profile& profile);
    // Writes the section as StoreGlobalSettings does.
    void Store(Profile& profile) const;
};

// The settings every meter view reads at the moment of drawing.
GlobalSettings& Globals();
