#include "driver/user_config.h"

#include <gtest/gtest.h>

namespace {

TEST(UserConfigFile, ComesFromTheConfigHomeThenFromHome) {
    EXPECT_EQ(sim::UserConfigFile("/home/ann/cfg", "/home/ann"), "/home/ann/cfg/levora/cards.conf");
    EXPECT_EQ(sim::UserConfigFile("", "/home/ann"), "/home/ann/.config/levora/cards.conf");
    EXPECT_EQ(sim::UserConfigFile("", ""), "");
}

// A relative XDG_CONFIG_HOME would make the file depend on where the service was started.
TEST(UserConfigFile, RelativeBaseDirectoriesAreIgnored) {
    EXPECT_EQ(sim::UserConfigFile("cfg", "/home/ann"), "/home/ann/.config/levora/cards.conf");
    EXPECT_EQ(sim::UserConfigFile("cfg", "home/ann"), "");
}

} // namespace
