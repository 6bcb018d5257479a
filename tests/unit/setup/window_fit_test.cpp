#include "setup/window_fit.h"

#include <gtest/gtest.h>

namespace {

const ScreenBox kScreen{0, 0, 1280, 1024};

struct FitCase {
    const char* name;
    ScreenBox window;
    int32_t clientWidth, clientHeight;
    ScreenBox screen;
    ScreenBox expected;
};

class FitWindowToClientTest : public testing::TestWithParam<FitCase> {};

TEST_P(FitWindowToClientTest, GivesTheClientItsSizeAndKeepsTheWindowReachable) {
    const FitCase& c = GetParam();
    EXPECT_EQ(FitWindowToClient(c.window, c.clientWidth, c.clientHeight, 254, 98, c.screen),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FitWindowToClientTest,
    testing::Values(
        // The stored default rectangle: the new size is centred on it.
        FitCase{"CentresANewSize", {200, 300, 200, 100}, 200, 100, kScreen, {173, 301, 254, 98}},
        // Window decoration stays: 8 + 254 wide, 24 + 98 high.
        FitCase{
            "KeepsTheDecoration", {200, 300, 208, 124}, 200, 100, kScreen, {173, 301, 262, 122}},
        FitCase{"StaysWhenTheSizeIsRight",
                {400, 500, 262, 122},
                254,
                98,
                kScreen,
                {400, 500, 262, 122}},
        FitCase{"StaysPartlyOffTheLeftEdge",
                {-230, 500, 262, 122},
                254,
                98,
                kScreen,
                {-230, 500, 262, 122}},
        FitCase{
            "ComesBackFromFarLeft", {-240, 500, 262, 122}, 254, 98, kScreen, {0, 500, 262, 122}},
        FitCase{"ComesBackFromFarRight",
                {1261, 500, 262, 122},
                254,
                98,
                kScreen,
                {1018, 500, 262, 122}},
        FitCase{"ComesBackFromBelow", {400, 995, 262, 122}, 254, 98, kScreen, {400, 902, 262, 122}},
        FitCase{"ComesBackFromAbove", {400, -93, 262, 122}, 254, 98, kScreen, {400, 0, 262, 122}},
        // Wider than the screen: half of it may stick out on either side.
        FitCase{"WiderThanTheScreen",
                {-50, 10, 100, 20},
                100,
                20,
                {0, 0, 200, 1024},
                {-127, 0, 254, 98}},
        FitCase{"EmptyScreenCountsAsLarge",
                {3190, 1200, 254, 98},
                254,
                98,
                {0, 0, 0, 0},
                {2946, 1200, 254, 98}},
        // A screen left of the primary one: positions count from its origin.
        FitCase{"ScreenWithAnOrigin",
                {-1530, 100, 254, 98},
                254,
                98,
                {-1280, 0, 2560, 1024},
                {-1280, 100, 254, 98}}),
    [](const testing::TestParamInfo<FitCase>& info) { return info.param.name; });

TEST(PlaceSetupWindow, MovesAStoredRectangleBackOntoTheScreen) {
    EXPECT_EQ(PlaceSetupWindow({1200, 1000, 262, 122}, kScreen), (ScreenBox{1018, 902, 262, 122}));
    EXPECT_EQ(PlaceSetupWindow({-40, -5, 262, 122}, kScreen), (ScreenBox{0, 0, 262, 122}));
    EXPECT_EQ(PlaceSetupWindow({100, 200, 262, 122}, kScreen), (ScreenBox{100, 200, 262, 122}));
    EXPECT_EQ(PlaceSetupWindow({-40, -5, 262, 122}, {0, 0, 0, 0}), (ScreenBox{-40, -5, 262, 122}));
    EXPECT_EQ(PlaceSetupWindow({-2000, 5, 262, 122}, {-1280, 0, 2560, 1024}),
              (ScreenBox{-1280, 5, 262, 122}));
}

} // namespace
