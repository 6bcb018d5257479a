#include "doc/setup_block.h"

#include "doc/line_archive.h"
#include "doc/meter_function.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::string_view kGeneralKey = "General=";
constexpr std::string_view kFontKey = "Font=";

// sscanf's "%Nd": blanks skipped, then a sign and digits, at most `width` characters.
bool ScanInt(std::string_view text, size_t& pos, int width, int32_t& value) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t'))
        ++pos;
    size_t end = pos;
    const size_t limit = std::min(text.size(), pos + static_cast<size_t>(width));
    if (end < limit && (text[end] == '-' || text[end] == '+'))
        ++end;
    const size_t digits = end;
    while (end < limit && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end == digits)
        return false;
    int64_t wide = 0;
    const char* first = text.data() + pos + (text[pos] == '+' ? 1 : 0);
    std::from_chars(first, text.data() + end, wide);
    value = static_cast<int32_t>(wide);
    pos = end;
    return true;
}

// One decimal number of a font line; what does not read counts as 0.
int32_t FontNumber(std::string_view text) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int64_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

int32_t MatchFunctionTitle(std::string_view line) {
    for (int32_t i = 0; i < kFunctionCount; ++i)
        if (line == MeterFunctions()[i].title)
            return i;
    return -1;
}

std::string FormatGeneralLine(const SetupHeader& h) {
    const int32_t word = std::max(h.CardNumber * 256 + h.BusType * 64 + h.ChanNumber, 0);
    const int32_t group = std::clamp(h.GroupNumber, 0, 99);
    std::array<char, 160> line{};
    std::snprintf(line.data(), line.size(),
                  "General=%05i,%02i,%05i,%05i,%05i,%05i,%05i,%05i,%05i,%05i,%01i,%01i\n", word,
                  group, h.WinPos.left, h.WinPos.right, h.WinPos.top, h.WinPos.bottom,
                  h.SetWinPos.left, h.SetWinPos.right, h.SetWinPos.top, h.SetWinPos.bottom,
                  h.ToolBar, h.StatusBar);
    return line.data();
}

bool ParseGeneralLine(std::string_view line, SetupHeader& header) {
    if (!line.starts_with(kGeneralKey))
        return false;
    const std::string_view text = line.substr(kGeneralKey.size());
    // Field order of the line: word, group, then left, right, top, bottom of both rectangles.
    int32_t word = 0, group = header.GroupNumber;
    int32_t* const fields[] = {&word,
                               &group,
                               &header.WinPos.left,
                               &header.WinPos.right,
                               &header.WinPos.top,
                               &header.WinPos.bottom,
                               &header.SetWinPos.left,
                               &header.SetWinPos.right,
                               &header.SetWinPos.top,
                               &header.SetWinPos.bottom,
                               &header.ToolBar,
                               &header.StatusBar};
    size_t pos = 0, read = 0;
    for (; read < std::size(fields); ++read) {
        if (read > 0) {
            if (pos >= text.size() || text[pos] != ',')
                break;
            ++pos;
        }
        if (!ScanInt(text, pos, read == 1 ? 2 : 5, *fields[read]))
            break;
    }
    if (read > 0) {
        // The engine's table has six cards and three buses: a word from elsewhere is clamped
        // into them rather than naming slots that do not exist.
        header.ChanNumber = word & 63;
        header.BusType = std::min((word >> 6) & 3, 2);
        header.CardNumber = std::clamp(word >> 8, 0, 5);
    }
    header.GroupNumber = group;
    return true;
}

int32_t ReadSetupHeaderLines(LineReader& archive, SetupHeader& header) {
    std::string line;
    archive.ReadLine(line);
    const int32_t function = MatchFunctionTitle(line);
    if (function < 0)
        return -1;
    archive.ReadLine(line);
    SetupHeader read = header;
    if (!ParseGeneralLine(line, read))
        return -1;
    header = read;
    return function;
}

std::string FormatFontLine(const LOGFONT& font) {
    std::array<char, 128> line{};
    std::snprintf(line.data(), line.size(), "Font=%i,%i,%i,%i,%i,%s\n", font.lfHeight,
                  font.lfWeight, static_cast<unsigned>(font.lfItalic),
                  static_cast<unsigned>(font.lfCharSet),
                  static_cast<unsigned>(font.lfPitchAndFamily), font.lfFaceName);
    return line.data();
}

void ReadFontLine(std::string_view line, LOGFONT& font) {
    if (!line.starts_with(kFontKey))
        return;
    std::string_view rest = line.substr(kFontKey.size());
    std::array<int32_t, 5> numbers{};
    for (int32_t& number : numbers) {
        const size_t comma = rest.find(',');
        number = FontNumber(rest.substr(0, comma));
        rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    font = LOGFONT();
    font.lfHeight = ClampFontHeight(numbers[0]);
    font.lfWeight = numbers[1];
    font.lfItalic = static_cast<uint8_t>(numbers[2]);
    font.lfCharSet = static_cast<uint8_t>(numbers[3]);
    font.lfPitchAndFamily = static_cast<uint8_t>(numbers[4]);
    font.SetFaceName(std::string(rest.substr(0, LOGFONT::kFaceNameMax)).c_str());
}
