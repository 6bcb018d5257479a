#include "doc/window_caption.h"

#include "device/channel_names.h"
#include "device/driver_protocol.h"
#include "doc/meter_function.h"

#include <array>
#include <string_view>

namespace {

constexpr const char* kProgramName = "Ostrel Levora";
constexpr int32_t kStereo = 0;
constexpr int32_t kMultiChannel = 1;

std::string CardText(const ChannelSelection& selection) {
    std::array<char, 40> name{};
    if (ChannelNames::CardName(selection, name))
        return name.data();
    const int32_t number = ChannelNames::FamilyNumber(selection.CardNumber);
    if (number == 0)
        return {};
    const char* family = driver_protocol::IsMadiSlot(selection.CardNumber) ? "MADI" : "Kestrel";
    return std::string(family) + " slot " + std::to_string(number);
}

std::string ChannelText(int32_t function, const ChannelSelection& selection) {
    std::array<char, 20> name{};
    if (function == kStereo && ChannelNames::PairName(selection, name))
        return name.data();
    if (function == kMultiChannel && ChannelNames::GroupName(selection, name))
        return name.data();
    return {};
}

void Append(std::string& text, std::string_view part) {
    if (part.empty())
        return;
    if (!text.empty())
        text += ' ';
    text += part;
}

} // namespace

std::string WindowCaption(int32_t function, const ChannelSelection& selection) {
    if (function < 0 || function >= kFunctionCount)
        return kProgramName;
    std::string what = CardText(selection);
    if (const char* bus = ChannelNames::BusName(selection.BusType))
        Append(what, bus);
    Append(what, ChannelText(function, selection));
    std::string caption = std::string(kProgramName) + " - " + MeterFunctions()[function].title;
    if (!what.empty())
        caption += " - " + what;
    return caption;
}
