#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Choice texts of selection controls are 30-byte entries.
inline constexpr size_t kChoiceTextSize = 30;
using ChoiceText = char[kChoiceTextSize];

// State bits of ParamDesc::flags.
inline constexpr uint32_t PF_SELECTED = 0x001; // holds the focus of the setup window
inline constexpr uint32_t PF_CHANGED = 0x002;  // the meter view has not acted on the value yet
inline constexpr uint32_t PF_REDRAW = 0x008;   // the setup window has not redrawn the control
inline constexpr uint32_t PF_HIDDEN = 0x020;   // neither drawn nor hit by the mouse
inline constexpr uint32_t PF_FRAMED = 0x100;   // sunken frame round the control

// The numbers the meter views address their parameters by; the same in every table.
enum ParamId : int32_t {
    kParamBackground = 0,
    kParamTopLevel = 1,
    kParamSwitchLevel = 2,
    kParamBottomLevel = 3,
    kParamRmsPlus3Db = 4,
    kParamBarLevelType = 5,
    kParamTextLevelType = 6,
    kParamFscCount = 7,
    kParamPeakHold = 8,
    kParamRelease = 9,
    kParamInstantHold = 10,
    kParamHoldReset = 11,
    kParamCompressedScale = 12,
};

// Control type codes. The shipped tables use the numeric box, the switch, the selection and
// the background; the rest belong to the same control vocabulary.
enum ControlType : int32_t {
    kControlEmpty = 0,
    kControlNumericBox = 1,
    kControlNumericDisplay = 2,
    kControlSwitch = 3,
    kControlSelection = 4,
    kControlWrappingSelection = 5,
    kControlSelectionDisplay = 6,
    kControlVerticalBar = 10,
    kControlVerticalBarSegment = 11,
    kControlSegmentCapBar = 12,
    kControlSegmentWideCapBar = 13,
    kControlSegmentSplitBar = 14,
    kControlVerticalSegment = 15,
    kControlReservedBar = 16,
    kControlReservedSegment = 17,
    kControlHorizontalBar = 20,
    kControlHorizontalCap = 21,
    kControlNumericScale = 22,
    kControlChoiceRow = 23,
    kControlHorizontalSegment = 24,
    kControlSlider = 30,
    kControlKnob = 31,
    kControlCompressedBar = 32,
    kControlCompressedSegment = 33,
    kControlLevelReadout = 34,
    kControlChoiceColumn = 35,
    kControlUpperFace = 36,
    kControlBackground = 100,
};

// One parameter: value with range and presentation, and the setup-window control showing it.
struct ParamDesc {
    int32_t id;
    char name[60]; // also the key of setup-file lines and registry values; blanks count
    int32_t type;
    int32_t bitmap;
    double value;
    double min;
    double max;
    double defaultValue;
    double step;
    int32_t decimals;
    char unit[12];
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t h;
    uint32_t flags;
    const ChoiceText* choices; // null unless a selection control
    int32_t helpId;
    int32_t reserved;
};

// A meter view's parameters: its copy of a template and the index by id into it. The view
// owns both storages (see ParamStore).
struct ParamTable {
    std::span<ParamDesc> records;
    std::span<ParamDesc*> index; // by id; null where no record carries the id
    int32_t width = 0;           // client size of the setup window
    int32_t height = 0;
};

// Binds the storages, indexes every record by id (a later record wins an id) and marks every
// record changed, so that the view's first change pass acts on all of them. Records whose id
// lies outside the index are left unindexed.
void InitParamTable(ParamTable& table, std::span<ParamDesc> records, std::span<ParamDesc*> index,
                    int32_t width, int32_t height);

// The one clamping rule: inside stays, below min gives min, at or above max (or not a
// number) gives max; min wins when max lies below min.
double ClampParam(double value, const ParamDesc& record);

// Clamps and stores `candidate`, marking the record changed and to redraw when the value
// differs. True when it did.
bool ApplyParamValue(ParamDesc& record, double candidate);

// Null for an id outside the index or one that no record carries.
ParamDesc* FindParamById(ParamTable& table, int32_t id);
const ParamDesc* FindParamById(const ParamTable& table, int32_t id);

// The value of parameter `id`, 0 when the table has none (so a missing switch is off).
double ParamValue(const ParamTable& table, int32_t id);

// ApplyParamValue on parameter `id`; false also for an unknown id.
bool SetParamById(double value, int32_t id, ParamTable& table);

// Stores without clamping and marks only PF_REDRAW, so the owning view is not asked to act
// again (used to pop the hold-reset button back out).
bool ShowParamById(double value, int32_t id, ParamTable& table);

// The name up to its terminator, never beyond the field.
std::string_view ParamName(const ParamDesc& record);

// Whether the record's value goes to setup files and the registry (the editable controls).
bool IsStoredParam(const ParamDesc& record);

// The value as the setup window shows it: ten decimals, then cut (not rounded) to
// `decimals`, with no decimal point for 0.
std::string FormatParamValue(const ParamDesc& record);
