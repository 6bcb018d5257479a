#include "setup/param_templates.h"

constinit const ChoiceText kLevelTypeChoices[3] = {"Peak ", "RMS  ", "OFF  "};

namespace {

constexpr int32_t kSetupHelpId = 228;

} // namespace

// clang-format off
// Each record: id, name, type, bitmap,
//              value, min, max, default, step, decimals, unit, x, y, w, h, flags, choices,
//              help id, reserved.
constinit const std::array<ParamDesc, kStereoParamCount> kStereoParamTemplate = {{
    {kParamBackground, "Analyser Setup Background", kControlBackground, 230,
     3, 0, 3, 0, 1, 0, "", 0, 0, 254, 98, 0, nullptr, kSetupHelpId, 0},
    {kParamTopLevel, "Level Meter Top Level", kControlNumericBox, 155,
     0, -80, 0, 0, 10, 0, "dB", 62, 6, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamSwitchLevel, "Level Meter Switch Level", kControlNumericBox, 155,
     -3, -140, 0.1, -3, 0.1, 1, "dB", 62, 21, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamBottomLevel, "Level Meter Bottom Level", kControlNumericBox, 155,
     -60, -140, -20, -60, 10, 0, "dB", 62, 36, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamPeakHold, "Level Meter Peak Hold", kControlNumericBox, 155,
     1, 0.1, 9.9, 1, 0.1, 1, "s", 62, 51, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamRelease, "Level Meter Release", kControlNumericBox, 155,
     20, 10, 100, 20, 1, 0, "dB/s", 62, 66, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamFscCount, "Level Meter FSC Count ", kControlNumericBox, 155,
     3, 1, 9, 3, 1, 0, "samples", 62, 81, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamCompressedScale, "Level Meter Compressed Scale", kControlSwitch, 159,
     1, 0, 1, 1, 1, 0, "", 194, 6, 20, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamInstantHold, "Level Meter Instant Hold", kControlSwitch, 159,
     0, 0, 1, 0, 1, 0, "", 194, 21, 20, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamHoldReset, "Level Meter Hold Reset", kControlSwitch, 162,
     0, 0, 1, 0, 1, 0, "", 218, 21, 26, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamRmsPlus3Db, "RMS +3dB", kControlSwitch, 159,
     1, 0, 1, 1, 1, 0, "", 194, 36, 20, 10, 0, nullptr, kSetupHelpId, 0},
    {}, {}, {}, {},
}};

constinit const std::array<ParamDesc, kMultiChannelParamCount> kMultiChannelParamTemplate = {{
    {kParamBackground, "MCLM Setup Background", kControlBackground, 215,
     3, 0, 3, 0, 1, 0, "", 0, 0, 254, 98, 0, nullptr, kSetupHelpId, 0},
    {kParamTopLevel, "Top Level", kControlNumericBox, 155,
     0, -80, 0, 0, 10, 0, "dB", 62, 6, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamSwitchLevel, "Switch Level", kControlNumericBox, 155,
     -3, -140, 0, -3, 0.1, 1, "dB", 62, 21, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamBottomLevel, "Bottom Level", kControlNumericBox, 155,
     -60, -140, -20, -60, 10, 0, "dB", 62, 36, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamPeakHold, "Peak Hold Time", kControlNumericBox, 155,
     1, 0.1, 9.9, 1, 0.1, 1, "s", 62, 51, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamRelease, "Release Time", kControlNumericBox, 155,
     20, 10, 100, 20, 1, 0, "dB/s", 62, 66, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamFscCount, "FSC Count for OVR ", kControlNumericBox, 155,
     3, 1, 9, 3, 1, 0, "samples", 62, 81, 66, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamCompressedScale, "Level Meter Compressed Scale", kControlSwitch, 159,
     1, 0, 1, 1, 1, 0, "", 194, 6, 20, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamInstantHold, "Instant Hold", kControlSwitch, 159,
     0, 0, 1, 0, 1, 0, "", 194, 21, 20, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamHoldReset, "Hold Reset", kControlSwitch, 162,
     0, 0, 1, 0, 1, 0, "", 218, 21, 26, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamRmsPlus3Db, "RMS +3dB", kControlSwitch, 159,
     1, 0, 1, 1, 1, 0, "", 194, 36, 20, 10, 0, nullptr, kSetupHelpId, 0},
    {kParamTextLevelType, "Text level type select", kControlSelection, 155,
     0, 0, 2, 0, 1, 0, "", 194, 51, 50, 10, 0, kLevelTypeChoices, kSetupHelpId, 0},
    {kParamBarLevelType, "Bar level type select", kControlSelection, 155,
     1, 0, 1, 1, 1, 0, "", 194, 66, 50, 10, 0, kLevelTypeChoices, kSetupHelpId, 0},
}};
// clang-format on
