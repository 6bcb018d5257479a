#pragma once

#include <cstdint>

// What one meter window shows: card, bus and channels, and what the last probe found.
struct ChannelSelection {
    int32_t CardNumber = 0;  // 0..2 MADI family, 3..5 Kestrel family
    int32_t ChanNumber = 0;  // pair shown by the stereo meter (logical numbering)
    int32_t GroupNumber = 0; // 8-channel group shown by the multi-channel meter
    int32_t BusType = 0;     // 0 Input, 1 Playback, 2 Output
    int32_t cardKind = -1;   // card model of the last probe, -1 when the slot did not answer
    int32_t accepted = 0;    // 1 after Channel Setup closed with OK
    int32_t rateCode = 0;    // 0 no card, 1 single, 5 double, 7 quad speed
};
