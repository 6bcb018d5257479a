#include "platform/memory_profile.h"
#include "platform/qsettings_profile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

// Each implementation under test owns whatever keeps its storage alive.
struct ProfileFixture {
    virtual ~ProfileFixture() = default;
    virtual Profile& profile() = 0;
    // A second view on the same storage, as another process would see it after a write.
    virtual std::unique_ptr<Profile> Reopen() { return nullptr; }
};

struct MemoryFixture final : ProfileFixture {
    MemoryProfile p;
    Profile& profile() override { return p; }
};

struct SettingsFixture final : ProfileFixture {
    QTemporaryDir dir;
    std::unique_ptr<QSettingsProfile> p =
        std::make_unique<QSettingsProfile>(dir.filePath("Ostrel Levora.conf"));
    Profile& profile() override { return *p; }
    std::unique_ptr<Profile> Reopen() override {
        p->Sync();
        return std::make_unique<QSettingsProfile>(dir.filePath("Ostrel Levora.conf"));
    }
};

using Factory = std::unique_ptr<ProfileFixture> (*)();

class ProfileTest : public testing::TestWithParam<Factory> {
protected:
    std::unique_ptr<ProfileFixture> fixture = GetParam()();
    Profile& p = fixture->profile();
};

TEST_P(ProfileTest, AbsentValuesReadAsDefaults) {
    EXPECT_EQ(p.ReadInt("Settings", "UpdateTime", 25), 25);
    EXPECT_EQ(p.ReadString("Temp", "OpenFile", "none"), "none");
    std::vector<uint8_t> bytes{1, 2, 3};
    EXPECT_FALSE(p.ReadBinary("Default\\Settings\\lev2", "Font", bytes));
    EXPECT_EQ(bytes, (std::vector<uint8_t>{1, 2, 3}));
}

TEST_P(ProfileTest, IntegersRoundTripSignedAndUnsigned) {
    p.WriteInt("SystemSet", "NormalColor", 56320);
    p.WriteInt("SystemSet", "Negative", -1);
    EXPECT_EQ(p.ReadInt("SystemSet", "NormalColor", 0), 56320);
    EXPECT_EQ(p.ReadInt("SystemSet", "Negative", 0), -1);
    EXPECT_EQ(p.ReadUInt("SystemSet", "Negative", 0), 0xFFFFFFFFu);
}

TEST_P(ProfileTest, ValueThatIsNotANumberReadsAsDefault) {
    p.WriteString("Settings", "UpdateTime", "fast");
    p.WriteString("Settings", "Partial", "12abc");
    p.WriteString("Settings", "Empty", "");
    EXPECT_EQ(p.ReadInt("Settings", "UpdateTime", 25), 25);
    EXPECT_EQ(p.ReadInt("Settings", "Partial", 7), 7);
    EXPECT_EQ(p.ReadInt("Settings", "Empty", 8), 8);
    p.WriteString("Settings", "Text", "42");
    EXPECT_EQ(p.ReadInt("Settings", "Text", 0), 42);
}

TEST_P(ProfileTest, BinaryRoundTripOf60Bytes) {
    std::vector<uint8_t> font(60);
    for (size_t i = 0; i < font.size(); ++i)
        font[i] = static_cast<uint8_t>(i * 37 + 1);
    font[5] = 0;
    font[59] = 0xFF;
    p.WriteBinary("Default\\Settings\\lev2", "Font", font);
    std::vector<uint8_t> back;
    ASSERT_TRUE(p.ReadBinary("Default\\Settings\\lev2", "Font", back));
    EXPECT_EQ(back, font);
    if (auto other = fixture->Reopen()) {
        std::vector<uint8_t> fromFile;
        ASSERT_TRUE(other->ReadBinary("Default/Settings/lev2", "Font", fromFile));
        EXPECT_EQ(fromFile, font);
    }
}

TEST_P(ProfileTest, StringsKeepTheirText) {
    p.WriteString("Temp", "OpenFile", "/home/u/My Setups/mix ä.lvr");
    EXPECT_EQ(p.ReadString("Temp", "OpenFile", ""), "/home/u/My Setups/mix ä.lvr");
}

TEST_P(ProfileTest, BackslashAndSlashSectionsAreTheSameKeys) {
    p.WriteInt("Temp\\Frame3\\Settings\\lev8", "TopLevel", 0);
    EXPECT_EQ(p.ReadInt("Temp/Frame3/Settings/lev8", "TopLevel", 99), 0);
    p.WriteInt("Default/Settings/lev2", "Release", 1000);
    EXPECT_EQ(p.ReadInt("Default\\Settings\\lev2", "Release", 0), 1000);
}

TEST_P(ProfileTest, DeletingAKeyRemovesItsSubkeys) {
    p.WriteInt("Temp\\Frame0\\Settings\\lev2", "TopLevel", 500);
    p.WriteInt("Temp", "Direct", 1);
    p.WriteInt("Temporary", "Kept", 2);
    p.WriteInt("Workspace\\Frame0", "SWType", 1);
    p.DeleteKey("Temp");
    EXPECT_EQ(p.ReadInt("Temp\\Frame0\\Settings\\lev2", "TopLevel", -1), -1);
    EXPECT_EQ(p.ReadInt("Temp", "Direct", -1), -1);
    EXPECT_EQ(p.ReadInt("Temporary", "Kept", -1), 2);
    EXPECT_EQ(p.ReadInt("Workspace\\Frame0", "SWType", -1), 1);
    if (auto other = fixture->Reopen()) {
        EXPECT_EQ(other->ReadInt("Temp\\Frame0\\Settings\\lev2", "TopLevel", -1), -1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Implementations, ProfileTest,
    testing::Values(
        +[]() -> std::unique_ptr<ProfileFixture> { return std::make_unique<MemoryFixture>(); },
        +[]() -> std::unique_ptr<ProfileFixture> { return std::make_unique<SettingsFixture>(); }),
    [](const testing::TestParamInfo<Factory>& info) {
        return info.index == 0 ? std::string("Memory") : std::string("QSettings");
    });

} // namespace
