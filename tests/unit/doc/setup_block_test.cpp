#include "doc/line_archive.h"
#include "doc/setup_block.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

SetupHeader StereoExample() {
    SetupHeader h;
    h.CardNumber = 3;
    h.BusType = 1;
    h.ChanNumber = 5;
    h.GroupNumber = 0;
    h.WinPos = {120, 80, 520, 680};
    h.SetWinPos = {200, 300, 400, 400};
    return h;
}

TEST(GeneralLine, StereoExampleByteForByte) {
    EXPECT_EQ(FormatGeneralLine(StereoExample()),
              "General=00837,00,00120,00520,00080,00680,00200,00400,00300,00400,1,1\n");
}

TEST(GeneralLine, RoundTripsIncludingCardFiveAndNegativeCoordinates) {
    SetupHeader h = StereoExample();
    h.CardNumber = 5;
    h.BusType = 2;
    h.ChanNumber = 63;
    h.WinPos = {-20, -5, 400, 300};
    h.ToolBar = 0;
    const std::string line = FormatGeneralLine(h);
    EXPECT_EQ(line.substr(0, 14), "General=01471,");
    SetupHeader back;
    ASSERT_TRUE(ParseGeneralLine(line.substr(0, line.size() - 1), back));
    EXPECT_EQ(back.CardNumber, 5);
    EXPECT_EQ(back.BusType, 2);
    EXPECT_EQ(back.ChanNumber, 63);
    EXPECT_EQ(back.WinPos, (WinRect{-20, -5, 400, 300}));
    EXPECT_EQ(back.SetWinPos, h.SetWinPos);
    EXPECT_EQ(back.ToolBar, 0);
    EXPECT_EQ(back.StatusBar, 1);
}

TEST(GeneralLine, GroupAndWordAreClampedOnWriting) {
    SetupHeader h = StereoExample();
    h.GroupNumber = 150;
    EXPECT_EQ(FormatGeneralLine(h).substr(14, 3), "99,");
    h.GroupNumber = -3;
    h.ChanNumber = -1; // no pair selected on card 0, bus 0
    h.CardNumber = 0;
    h.BusType = 0;
    EXPECT_EQ(FormatGeneralLine(h).substr(0, 17), "General=00000,00,");
}

TEST(GeneralLine, MissingAndBadFieldsKeepTheCurrentValues) {
    SetupHeader h = StereoExample();
    ASSERT_TRUE(ParseGeneralLine("General=00257,07,00010", h));
    EXPECT_EQ(h.CardNumber, 1);
    EXPECT_EQ(h.BusType, 0);
    EXPECT_EQ(h.ChanNumber, 1);
    EXPECT_EQ(h.GroupNumber, 7);
    EXPECT_EQ(h.WinPos, (WinRect{10, 80, 520, 680}));
    // A field that does not read ends the reading there.
    ASSERT_TRUE(ParseGeneralLine("General=00837,00,x0120,00520", h));
    EXPECT_EQ(h.WinPos.left, 10);
    EXPECT_EQ(h.WinPos.right, 520);
    // Six digits: the field takes five and the next separator is missing.
    ASSERT_TRUE(ParseGeneralLine("General=00837,00,001200,00999", h));
    EXPECT_EQ(h.WinPos.left, 120);
    EXPECT_EQ(h.WinPos.right, 520);
    SetupHeader untouched = h;
    EXPECT_FALSE(ParseGeneralLine("general=00837", h));
    EXPECT_EQ(h.WinPos, untouched.WinPos);
}

TEST(GeneralLine, CardAndBusOutsideTheTableAreClamped) {
    SetupHeader h;
    ASSERT_TRUE(ParseGeneralLine("General=99999,00", h)); // card 390, bus 2, pair 31
    EXPECT_EQ(h.CardNumber, 5);
    EXPECT_EQ(h.ChanNumber, 31);
    ASSERT_TRUE(ParseGeneralLine("General=00192,00", h)); // bus 3
    EXPECT_EQ(h.BusType, 2);
    ASSERT_TRUE(ParseGeneralLine("General=-0001,00", h));
    EXPECT_EQ(h.CardNumber, 0);
}

TEST(SetupHeader, TitleMustMatchExactly) {
    SetupHeader h = StereoExample();
    const SetupHeader before = h;
    LineReader trailing("Stereo Level Meter \nGeneral=00001,00\n");
    EXPECT_EQ(ReadSetupHeaderLines(trailing, h), -1);
    EXPECT_EQ(h.ChanNumber, before.ChanNumber);
    LineReader notGeneral("Global Level Meter\nFont=-13,0,0,0,0,ARIAL\n");
    EXPECT_EQ(ReadSetupHeaderLines(notGeneral, h), -1);
    EXPECT_EQ(h.ChanNumber, before.ChanNumber);
    LineReader crlf("Multichannel Level Meter\r\nGeneral=00002,03\r\n");
    EXPECT_EQ(ReadSetupHeaderLines(crlf, h), 1);
    EXPECT_EQ(h.ChanNumber, 2);
    EXPECT_EQ(h.GroupNumber, 3);
}

TEST(FontLine, InitialFontAndFaceNamesWithBlanks) {
    EXPECT_EQ(FormatFontLine(MakeArialFont(-13)), "Font=-13,0,0,0,0,ARIAL\n");
    LOGFONT font = MakeArialFont(-13);
    font.lfUnderline = 1;
    ReadFontLine("Font=-16,700,1,0,34,Courier New", font);
    EXPECT_EQ(font.lfHeight, -16);
    EXPECT_EQ(font.lfWeight, 700);
    EXPECT_EQ(font.lfItalic, 1);
    EXPECT_EQ(font.lfPitchAndFamily, 34);
    EXPECT_EQ(font.lfUnderline, 0); // cleared with the rest
    EXPECT_STREQ(font.lfFaceName, "Courier New");
    EXPECT_EQ(FormatFontLine(font), "Font=-16,700,1,0,34,Courier New\n");
}

// A font line's height went into the font as it stood: -5000 froze the program for 43 s.
TEST(FontLine, HeightIsClampedToTheFontRange) {
    const std::pair<const char*, int32_t> cases[] = {
        {"Font=-5000,0,0,0,0,ARIAL", -kMaxFontHeight},
        {"Font=50000,0,0,0,0,ARIAL", kMaxFontHeight},
        {"Font=-2147483648,0,0,0,0,ARIAL", -kMaxFontHeight},
        {"Font=2147483647,0,0,0,0,ARIAL", kMaxFontHeight},
        {"Font=-200,0,0,0,0,ARIAL", -200},
        {"Font=17,0,0,0,0,ARIAL", 17},
    };
    for (const auto& [line, height] : cases) {
        LOGFONT font;
        ReadFontLine(line, font);
        EXPECT_EQ(font.lfHeight, height) << line;
    }
}

TEST(FontLine, OtherLinesLeaveTheFontAndLongNamesAreCut) {
    LOGFONT font = MakeArialFont(-10);
    ReadFontLine("Level Meter Top Level=0.000000", font);
    EXPECT_EQ(font.lfHeight, -10);
    ReadFontLine("Font=-12,0,0,0,0," + std::string(40, 'X'), font);
    EXPECT_EQ(std::string(font.lfFaceName), std::string(31, 'X'));
    ReadFontLine("Font=", font);
    EXPECT_EQ(font.lfHeight, 0);
    EXPECT_STREQ(font.lfFaceName, "");
}

} // namespace
