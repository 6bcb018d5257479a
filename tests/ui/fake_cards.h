#pragma once

#include "device/card_probe.h"
#include "device/driver_protocol.h"
#include "device/driver_transport.h"

#include <array>
#include <cstring>
#include <optional>

// Card slots a test fills: a plugged card answers the card-information request with the
// CardInfo words by which the program recognises its kind and speed; an empty slot fails to
// open, as a missing device does.
class FakeCards : public DriverTransport {
public:
    using CardInfo = std::array<uint8_t, driver_protocol::kCardInfoSize>;

    // kind 7 belongs in slots 0..2, kinds 0..6 in slots 3..5.
    void Plug(int slot, int kind, int32_t rateCode = kRateSingle) {
        namespace dp = driver_protocol;
        CardInfo info{};
        const bool madi = dp::IsMadiSlot(slot);
        Put(info, dp::kMagicOffset, madi ? dp::kMadiMagic : dp::kKestrelMagic);
        uint32_t status = 0;
        if (rateCode == kRateDouble)
            status = dp::kStatusDoubleSpeed;
        if (rateCode == kRateQuad)
            status = dp::kStatusQuadSpeed;
        Put(info, dp::kStatusWordOffset, status);
        if (!madi) {
            // Below revision 100 the model word tells kinds 0 and 1 apart, 100..149 is kind 6,
            // and from 150 the two option bits tell kinds 2..5.
            constexpr uint32_t kRevisions[] = {50, 50, 160, 160, 160, 160, 120};
            constexpr uint32_t kOptions[] = {
                0, 0, dp::kOption28 | dp::kOption29, dp::kOption28, dp::kOption29, 0, 0};
            Put(info, dp::kRevisionOffset, kRevisions[kind]);
            Put(info, dp::kOptionWordOffset, kOptions[kind]);
            Put(info, dp::kModelWordOffset, kind == 1 ? 1 : 0);
        }
        cards_[slot] = info;
    }

    void Unplug(int slot) { cards_[slot].reset(); }

    bool Request(const char* deviceName, uint32_t code, const void*, uint32_t, void* out,
                 uint32_t outSize, uint32_t* bytesReturned) override {
        const int slot = SlotOf(deviceName);
        if (slot < 0 || !cards_[slot] || code != driver_protocol::IOCTL_CARD_INFO)
            return false;
        const uint32_t count = std::min<uint32_t>(outSize, driver_protocol::kCardInfoSize);
        std::memcpy(out, cards_[slot]->data(), count);
        *bytesReturned = count;
        return true;
    }

private:
    static void Put(CardInfo& info, uint32_t offset, uint32_t value) {
        for (int i = 0; i < 4; ++i)
            info[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }

    static int SlotOf(const char* deviceName) {
        for (int slot = 0; slot < driver_protocol::kCardSlots; ++slot) {
            DeviceName name;
            FormatDeviceName(slot, name);
            if (std::strcmp(name.data(), deviceName) == 0)
                return slot;
        }
        return -1;
    }

    std::array<std::optional<CardInfo>, driver_protocol::kCardSlots> cards_;
};
