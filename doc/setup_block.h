#pragma once

#include "device/channel_selection.h"
#include "platform/log_font.h"

#include <cstdint>
#include <string>
#include <string_view>

class LineReader;

struct WinRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
    bool operator==(const WinRect&) const = default;
};

// What the first two lines of a setup block carry besides the function.
struct SetupHeader {
    int32_t CardNumber = 0;
    int32_t BusType = 0;
    int32_t ChanNumber = 0;
    int32_t GroupNumber = 0;
    WinRect WinPos{200, 300, 800, 600};
    WinRect SetWinPos{200, 300, 400, 400};
    int32_t ToolBar = 1;
    int32_t StatusBar = 1;
};

// The function index whose title the line is exactly, -1 for none.
int32_t MatchFunctionTitle(std::string_view line);

// The General line with its line end. The channel word packs card, bus and pair; a negative
// word is written as 0 and the group is clamped to 0..99.
std::string FormatGeneralLine(const SetupHeader& header);

// Reads the twelve fields of a General line into `header`. Fields that are missing or do
// not read keep the values `header` has. A card outside the six slots is clamped into them
// and a bus outside the three into them. False, with `header` untouched, when the line does
// not begin with "General=".
bool ParseGeneralLine(std::string_view line, SetupHeader& header);

// Lines 1 and 2 of a block: the function index (with `header` filled), or -1 when the
// block is not a setup block, with `header` untouched. Both lines are consumed either way.
int32_t ReadSetupHeaderLines(LineReader& archive, SetupHeader& header);

// "Font=height,weight,italic,charset,pitch,face" with its line end.
std::string FormatFontLine(const LOGFONT& font);

// A line that begins with "Font=" replaces the whole font (fields it does not name are 0, a
// face name longer than 31 characters is cut); any other line leaves the font as it was.
void ReadFontLine(std::string_view line, LOGFONT& font);
