#include "driver/driver_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ResolveCase {
    sim::DirectoryEnvironment environment;
    const char* expected;
};

class ResolveDriverDirectory : public testing::TestWithParam<ResolveCase> {};

TEST_P(ResolveDriverDirectory, PrefersTheVariableThenTheRuntimeThenTheTempDirectory) {
    EXPECT_EQ(sim::ResolveDriverDirectory(GetParam().environment), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Environments, ResolveDriverDirectory,
    testing::Values(ResolveCase{{"/srv/cards", "/run/user/1000", "/tmp", 1000}, "/srv/cards"},
                    ResolveCase{{"", "/run/user/1000", "/tmp", 1000},
                                "/run/user/1000/levora-driver"},
                    ResolveCase{{"", "", "/var/tmp", 1000}, "/var/tmp/levora-driver-1000"},
                    ResolveCase{{"", "", "/tmp/", 0}, "/tmp/levora-driver-0"}));

class CheckDriverDirectory : public testing::Test {
protected:
    CheckDriverDirectory() {
        char pattern[] = "/tmp/levora-dircheck-XXXXXX";
        path = mkdtemp(pattern);
    }
    ~CheckDriverDirectory() override {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    sim::DirectoryState Check() {
        why.clear();
        return sim::CheckDriverDirectory(path, why);
    }
    std::string path;
    std::string why;
};

TEST_F(CheckDriverDirectory, TrustsOnlyAPrivateDirectoryOfThisUser) {
    EXPECT_EQ(Check(), sim::DirectoryState::Usable);
    for (mode_t mode : {0710, 0701, 0755}) {
        chmod(path.c_str(), mode);
        EXPECT_EQ(Check(), sim::DirectoryState::Untrusted) << std::oct << mode;
        EXPECT_NE(why.find("open to group or others"), std::string::npos);
    }
    chmod(path.c_str(), 0500);
    EXPECT_EQ(Check(), sim::DirectoryState::Usable);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(path.c_str(), 65534, 65534), 0);
        EXPECT_EQ(Check(), sim::DirectoryState::Untrusted);
        EXPECT_EQ(why, path + " belongs to user 65534, not to user 0");
    }
}

TEST_F(CheckDriverDirectory, TellsAMissingDirectoryFromAFile) {
    std::string dir = path;
    path = dir + "/none";
    EXPECT_EQ(Check(), sim::DirectoryState::Missing);
    path = dir + "/file";
    std::ofstream(path) << "x";
    EXPECT_EQ(Check(), sim::DirectoryState::Untrusted);
    EXPECT_EQ(why, path + " is not a directory");
    path = dir;
}

} // namespace
