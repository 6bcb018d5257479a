#include "doc/window_caption.h"

#include "tests/unit/device/case_name.h"

#include <gtest/gtest.h>

namespace {

struct CaptionCase {
    const char* what;
    friend void PrintTo(const CaptionCase& c, std::ostream* os) { *os << c.what; }
    int32_t function;
    ChannelSelection selection;
    const char* caption;
};

// Regression: the caption named only the function, so two windows on different cards or
// channels could not be told apart in a task bar.
class WindowCaptionTest : public testing::TestWithParam<CaptionCase> {};

TEST_P(WindowCaptionTest, NamesFunctionCardBusAndChannels) {
    EXPECT_EQ(WindowCaption(GetParam().function, GetParam().selection), GetParam().caption);
}

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowCaptionTest,
    testing::Values(
        CaptionCase{"madi stereo",
                    0,
                    {.CardNumber = 0, .ChanNumber = 0, .BusType = 0, .cardKind = 7, .rateCode = 1},
                    "Ostrel Levora - Stereo Level Meter - Kestrel Orvo (1) Input 1+2"},
        CaptionCase{"zento stereo on spdif",
                    0,
                    {.CardNumber = 4, .ChanNumber = 12, .BusType = 2, .cardKind = 0, .rateCode = 1},
                    "Ostrel Levora - Stereo Level Meter - Kestrel Zento (2) Output SPDIF"},
        CaptionCase{"quira group",
                    1,
                    {.CardNumber = 3, .GroupNumber = 1, .BusType = 1, .cardKind = 1, .rateCode = 5},
                    "Ostrel Levora - Multichannel Level Meter - Kestrel Quira (1) Playback ADAT"},
        CaptionCase{"global names no channels",
                    2,
                    {.CardNumber = 1, .ChanNumber = 3, .BusType = 2, .cardKind = 7, .rateCode = 1},
                    "Ostrel Levora - Global Level Meter - Kestrel Orvo (2) Output"},
        CaptionCase{"absent madi card",
                    0,
                    {.CardNumber = 2, .ChanNumber = 3, .BusType = 1, .cardKind = -1},
                    "Ostrel Levora - Stereo Level Meter - MADI slot 3 Playback"},
        CaptionCase{"absent kestrel card",
                    1,
                    {.CardNumber = 3, .GroupNumber = 0, .BusType = 0, .cardKind = -1},
                    "Ostrel Levora - Multichannel Level Meter - Kestrel slot 1 Input"},
        CaptionCase{"pair the card lacks",
                    0,
                    {.CardNumber = 3, .ChanNumber = 20, .BusType = 0, .cardKind = 0, .rateCode = 1},
                    "Ostrel Levora - Stereo Level Meter - Kestrel Zento (1) Input"},
        CaptionCase{"stale bus and card",
                    2,
                    {.CardNumber = 9, .BusType = 5, .cardKind = -1},
                    "Ostrel Levora - Global Level Meter"},
        CaptionCase{"no function yet", -1, {}, "Ostrel Levora"}),
    CaseName<CaptionCase>);

} // namespace
