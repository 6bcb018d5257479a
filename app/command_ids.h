#pragma once

// Command ids of menus, tool bar, accelerators and context menu.
namespace cmd {

inline constexpr int kFileNewWindow = 57613;
inline constexpr int kFileOpenSetup = 57601;
inline constexpr int kFileCloseWindow = 57602;
inline constexpr int kFileSaveSetup = 57603;
inline constexpr int kFileSaveSetupAs = 57604;
inline constexpr int kFilePrintSetup = 57606;
inline constexpr int kFilePrint = 57607;
inline constexpr int kFileMruFirst = 57616; // "Last Setup" and the recent files up to 57623
inline constexpr int kFileMruLast = 57623;
inline constexpr int kLoadWorkspace = 211;
inline constexpr int kSaveWorkspaceAs = 212;
inline constexpr int kAppExit = 57665;

inline constexpr int kFunctionStereo = 219;
inline constexpr int kFunctionMulti = 220;
inline constexpr int kFunctionGlobal = 221;

inline constexpr int kActivateLevelProcessing = 32791;
inline constexpr int kDeactivateScreenSaver = 224;
inline constexpr int kAlwaysOnTop = 32788;
inline constexpr int kLevelMeterSetup = 32771;
inline constexpr int kChannelSetup = 32773;
inline constexpr int kFunctionSelect = 57600;
inline constexpr int kColorSettings = 228;
inline constexpr int kFont = 210;

inline constexpr int kViewToolbar = 59392;
inline constexpr int kViewStatusBar = 59393;

inline constexpr int kHelpCurrentFunction = 32797;
inline constexpr int kHelpContents = 229;
inline constexpr int kHelpSearch = 57667;
inline constexpr int kAppAbout = 57664;

} // namespace cmd

// Help contexts.
namespace help {

inline constexpr int kContents = 200;
inline constexpr int kStereoMeter = 225;
inline constexpr int kSetupWindow = 228;
inline constexpr int kChannelSetup = 232;
inline constexpr int kMultiMeter = 248;
inline constexpr int kGlobalMeter = 249;
inline constexpr int kColorSettings = 255;
inline constexpr int kFunctionSelect = 261;

} // namespace help
