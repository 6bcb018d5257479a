#include "device/card_probe.h"

#include "device/driver_protocol.h"
#include "device/little_endian.h"

#include <cstdio>

using namespace driver_protocol;

namespace {

int32_t KestrelKind(uint32_t revision, uint32_t optionWord, uint32_t modelWord) {
    if (revision < 100)
        return modelWord == 1 ? 1 : 0;
    if (revision < 150)
        return 6;
    const bool bit28 = (optionWord & kOption28) != 0;
    const bool bit29 = (optionWord & kOption29) != 0;
    if (bit28 && bit29)
        return 2;
    if (bit28)
        return 3;
    if (bit29)
        return 4;
    return 5;
}

} // namespace

bool FormatDeviceName(int slot, DeviceName& name) {
    name[0] = '\0';
    if (slot < 0 || slot >= kCardSlots)
        return false;
    // Formatted once: every poll names every slot.
    static const std::array<DeviceName, kCardSlots> kNames = [] {
        std::array<DeviceName, kCardSlots> names{};
        for (int s = 0; s < kCardSlots; ++s) {
            if (IsMadiSlot(s))
                std::snprintf(names[s].data(), names[s].size(), "\\\\.\\madiOut%d", 32 * s);
            else
                std::snprintf(names[s].data(), names[s].size(), "\\\\.\\kestrelOut%d",
                              13 * (s - kMadiSlots));
        }
        return names;
    }();
    name = kNames[slot];
    return true;
}

int32_t ProbeCard(const ControlDevice& device, DeviceName& name, int slot, int32_t* kind) {
    if (!FormatDeviceName(slot, name))
        return kRateNoCard;
    std::array<uint8_t, kCardInfoSize> info{};
    if (!device.Request(name.data(), IOCTL_CARD_INFO, nullptr, 0, info.data(), kCardInfoSize))
        return kRateNoCard;
    const auto word = [&info](uint32_t offset) {
        return little_endian::ReadU32(info.data() + offset);
    };

    const bool madi = IsMadiSlot(slot);
    if (word(kMagicOffset) != (madi ? kMadiMagic : kKestrelMagic))
        return kRateNoCard;
    const uint32_t status = word(kStatusWordOffset);
    int32_t rate = (status & kStatusDoubleSpeed) ? kRateDouble : kRateSingle;
    if (madi) {
        if (kind)
            *kind = kMadiCardKind;
        return rate;
    }

    const uint32_t revision = word(kRevisionOffset);
    if ((status & kStatusQuadSpeed) && revision >= 150)
        rate = kRateQuad;
    if (kind)
        *kind = KestrelKind(revision, word(kOptionWordOffset), word(kModelWordOffset));
    return rate;
}

int32_t ProbeSelection(const ControlDevice& device, ChannelSelection& selection) {
    DeviceName name;
    int32_t kind = kNoCardKind;
    selection.rateCode = ProbeCard(device, name, selection.CardNumber, &kind);
    selection.cardKind = kind;
    return kind;
}

std::string ProbeCardLabel(const ControlDevice& device, int slot) {
    DeviceName name;
    std::array<uint8_t, kCardInfoSize> info{};
    if (!FormatDeviceName(slot, name) ||
        !device.Request(name.data(), IOCTL_CARD_INFO, nullptr, 0, info.data(), kCardInfoSize))
        return "";
    std::string label;
    for (uint32_t i = kLabelOffset; i < kLabelOffset + kLabelSize && info[i] != 0; ++i) {
        if (info[i] < 0x20 || info[i] > 0x7E)
            return "";
        label += static_cast<char>(info[i]);
    }
    return label;
}
