#include "setup/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <limits>

namespace {

TEST(FormatFixed, MatchesPrintfInTheCLocale) {
    // The test process runs in the "C" locale, so printf is the reference.
    for (double value :
         {0.0, -0.0, 0.1, 2.3, -0.05, 0.125, 2.5, -2.5, 5e-7, 9.9999995, 1e300, -DBL_MAX, DBL_MIN,
          std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::infinity()}) {
        for (int decimals : {0, 1, 6, 10}) {
            char expected[400];
            std::snprintf(expected, sizeof expected, "%.*f", decimals, value);
            EXPECT_EQ(FormatFixed(value, decimals), expected) << value << " " << decimals;
        }
    }
}

TEST(ParseFiniteNumber, ReadsLikeScanfButRefusesWhatIsNotFinite) {
    const struct {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"-20.000000", true, -20}, {" \t+5", true, 5},  {"-20dB", true, -20},
        {".5", true, 0.5},         {"0x10", true, 16},  {"0xg", true, 0},
        {"1,5", true, 1},          {"", false, 0},      {"abc", false, 0},
        {"+-1", false, 0},         {"inf", false, 0},   {"-infinity", false, 0},
        {"nan", false, 0},         {"1e999", false, 0},
    };
    for (const auto& c : cases) {
        double value = 12345;
        EXPECT_EQ(ParseFiniteNumber(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 12345) << c.text;
    }
}

} // namespace
