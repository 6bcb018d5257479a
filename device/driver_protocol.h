#pragma once

#include <cstdint>

// What the program sends to a card driver and the layout of the replies it relies on.
namespace driver_protocol {

inline constexpr uint32_t IOCTL_CARD_INFO = 0x1D40B8;   // no input, CardInfo reply
inline constexpr uint32_t IOCTL_READ_LEVELS = 0x1D40C8; // 12-byte input, LevelBlock reply

inline constexpr int kCardSlots = 6;
inline constexpr int kMadiSlots = 3; // slots 0..2; 3..5 are the Kestrel family
inline constexpr int kBuses = 3;

inline constexpr uint32_t kMadiMagic = 16326;
inline constexpr uint32_t kKestrelMagic = 16325;

// CardInfo: 92 bytes of little-endian words; only these five are interpreted.
inline constexpr uint32_t kCardInfoSize = 92;
inline constexpr uint32_t kMagicOffset = 0;
inline constexpr uint32_t kRevisionOffset = 4;
inline constexpr uint32_t kStatusWordOffset = 52;
inline constexpr uint32_t kOptionWordOffset = 56;
inline constexpr uint32_t kModelWordOffset = 68;
// Bytes 8..51 lie between the interpreted words; a driver may put a label there (ASCII, zero
// padded) that tells the user what feeds the card, such as "JACK graph".
inline constexpr uint32_t kLabelOffset = 8;
inline constexpr uint32_t kLabelSize = 44;

inline constexpr uint32_t kStatusDoubleSpeed = 0x100;
inline constexpr uint32_t kStatusQuadSpeed = 0x80000000u;
inline constexpr uint32_t kOption28 = 0x10000000u;
inline constexpr uint32_t kOption29 = 0x20000000u;

inline constexpr uint32_t kLevelRequestSize = 12; // three words of value 1

// LevelBlock: per bus an array of 32-bit peak words, then an array of signed 64-bit mean
// squares, one entry per channel.
struct LevelBlockLayout {
    uint32_t size;
    int channelsPerBus;
    uint32_t peaks[kBuses];
    uint32_t meanSquares[kBuses];
};
inline constexpr LevelBlockLayout kMadiLayout{2328, 64, {0, 768, 1536}, {256, 1024, 1800}};
inline constexpr LevelBlockLayout kKestrelLayout{960, 26, {0, 312, 624}, {104, 416, 736}};

constexpr bool IsMadiSlot(int slot) {
    return slot >= 0 && slot < kMadiSlots;
}
constexpr const LevelBlockLayout& LayoutForSlot(int slot) {
    return IsMadiSlot(slot) ? kMadiLayout : kKestrelLayout;
}

// Peak word: magnitude in bits 8..30, full-scale sample count in bits 0..3.
inline constexpr uint32_t kPeakMagnitudeMask = 0x7FFFFF00u;
inline constexpr uint32_t kFscMask = 0xF;
inline constexpr double kPeakScale = 4.656612873077393e-10;       // 2^-31
inline constexpr double kMeanSquareScale = 2.168404861958984e-19; // 1 / 2147483392^2

} // namespace driver_protocol
