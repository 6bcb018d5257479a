#include "driver/card_model.h"

#include "device/card_probe.h"
#include "device/driver_protocol.h"
#include "driver/little_endian_write.h"

#include <cstring>

namespace sim {

namespace dp = driver_protocol;

namespace {

// Revisions that select the model ranges of the Kestrel family.
constexpr uint32_t kEarlyRevision = 50;   // below 100: kinds 0 and 1
constexpr uint32_t kMiddleRevision = 120; // 100..149: kind 6
constexpr uint32_t kLateRevision = 160;   // 150 and above: kinds 2..5
constexpr uint32_t kQuiraModelWord = 1;

uint32_t KestrelRevision(int kind) {
    if (kind == 0 || kind == 1)
        return kEarlyRevision;
    if (kind == 6)
        return kMiddleRevision;
    return kLateRevision;
}

uint32_t OptionWord(int kind) {
    switch (kind) {
    case 2:
        return dp::kOption28 | dp::kOption29;
    case 3:
        return dp::kOption28;
    case 4:
        return dp::kOption29;
    default:
        return 0;
    }
}

uint32_t StatusWord(Speed speed) {
    switch (speed) {
    case Speed::Double:
        return dp::kStatusDoubleSpeed;
    case Speed::Quad:
        return dp::kStatusQuadSpeed;
    case Speed::Single:
        break;
    }
    return 0;
}

} // namespace

std::string_view SpeedName(Speed speed) {
    switch (speed) {
    case Speed::Double:
        return "double";
    case Speed::Quad:
        return "quad";
    case Speed::Single:
        break;
    }
    return "single";
}

std::string_view BusName(int bus) {
    constexpr std::string_view kNames[dp::kBuses] = {"input", "playback", "output"};
    return bus >= 0 && bus < dp::kBuses ? kNames[bus] : "";
}

std::optional<Speed> ParseSpeed(std::string_view text) {
    for (Speed s : {Speed::Single, Speed::Double, Speed::Quad}) {
        if (text == SpeedName(s))
            return s;
    }
    return std::nullopt;
}

int SampleRate(Speed speed) {
    switch (speed) {
    case Speed::Double:
        return 96000;
    case Speed::Quad:
        return 192000;
    case Speed::Single:
        break;
    }
    return 44100;
}

int RateCode(Speed speed) {
    switch (speed) {
    case Speed::Double:
        return kRateDouble;
    case Speed::Quad:
        return kRateQuad;
    case Speed::Single:
        break;
    }
    return kRateSingle;
}

bool KindFitsSlot(int kind, int slot) {
    if (slot < 0 || slot >= dp::kCardSlots || kind < kMinKind || kind > kMaxKind)
        return false;
    return dp::IsMadiSlot(slot) == (kind == kMadiCardKind);
}

bool SpeedIsReportable(int kind, Speed speed) {
    return speed != Speed::Quad || (kind >= 2 && kind <= 5);
}

void EncodeCardInfo(int slot, int kind, Speed speed, uint8_t* out) {
    std::memset(out, 0, dp::kCardInfoSize);
    bool madi = dp::IsMadiSlot(slot);
    little_endian::WriteU32(out + dp::kMagicOffset, madi ? dp::kMadiMagic : dp::kKestrelMagic);
    little_endian::WriteU32(out + dp::kStatusWordOffset, StatusWord(speed));
    if (madi)
        return;
    little_endian::WriteU32(out + dp::kRevisionOffset, KestrelRevision(kind));
    little_endian::WriteU32(out + dp::kOptionWordOffset, OptionWord(kind));
    little_endian::WriteU32(out + dp::kModelWordOffset, kind == 1 ? kQuiraModelWord : 0);
}

} // namespace sim
