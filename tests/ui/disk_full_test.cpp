#include "shell_fixture.h"

#include "app/command_ids.h"
#include "app/file_chooser.h"
#include "platform/qsettings_profile.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

// Saves on a small file system that fills up: each leaves the complete new file or the old
// one byte for byte, and tells the user. The file system is the directory LEVORA_FULL_FS
// names (tests/full_disk.sh mounts a tmpfs there); without one the tests skip.

namespace {

class DiskFullTest : public ShellTest {
protected:
    void SetUp() override {
        const char* root = std::getenv("LEVORA_FULL_FS");
        if (!root || !*root)
            GTEST_SKIP() << "no small file system (run through tests/full_disk.sh)";
        // A directory of each test's own on the shared small file system.
        dir = QDir(root);
        const QString name = testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(dir.mkpath(name));
        ASSERT_TRUE(dir.cd(name));
        ownDirectory = true;
        chooserBefore = SetFileChooser([this](const FileRequest&, QWidget*) { return chosen; });
        profile.WriteInt("Workspace\\Frame0", "SWType", 0);
        Start();
        app->messageBox = [this](const QString& text) { messages << text; };
        ASSERT_TRUE(app->InitInstance(""));
    }
    void TearDown() override {
        if (!ownDirectory)
            return;
        SetFileChooser(chooserBefore);
        dir.removeRecursively();
    }

    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Fills the file system, then gives `free` bytes back.
    void FillLeaving(off_t free) {
        const int fd = ::open(QFile::encodeName(dir.filePath("filler")).constData(),
                              O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ASSERT_GE(fd, 0);
        const std::string chunk(4096, 'x');
        off_t size = 0;
        ssize_t n = 0;
        while ((n = ::write(fd, chunk.data(), chunk.size())) > 0)
            size += n;
        EXPECT_EQ(errno, ENOSPC);
        EXPECT_EQ(::ftruncate(fd, std::max<off_t>(size - free, 0)), 0);
        ::close(fd);
    }

    void Command(int id, const QString& name) {
        chosen = dir.filePath(name);
        Frame(0)->RouteCommand(id);
    }

    QDir dir;
    bool ownDirectory = false;
    QString chosen;
    QStringList messages;
    FileChooser chooserBefore;
};

// Save Setup As over an existing file on a full disk left a 0-byte file.
TEST_F(DiskFullTest, SaveSetupAsOnAFullDiskKeepsTheOldFile) {
    Command(cmd::kFileSaveSetupAs, "old.lvr");
    ASSERT_TRUE(messages.isEmpty()) << messages.join('\n').toStdString();
    const QByteArray old = Contents(dir.filePath("old.lvr"));
    ASSERT_FALSE(old.isEmpty());

    Frame(0)->SetOuterGeometry(QRect(150, 90, 400, 500)); // the new block differs
    FillLeaving(0);
    Command(cmd::kFileSaveSetupAs, "old.lvr");
    EXPECT_EQ(Contents(dir.filePath("old.lvr")), old);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("could not be saved")) << messages[0].toStdString();
    // No temporary file is left behind either.
    EXPECT_EQ(dir.entryList(QDir::Files).size(), 2) << dir.entryList().join(' ').toStdString();
}

// Save Workspace As with a few KiB free left a cut-off workspace and said nothing.
TEST_F(DiskFullTest, SaveWorkspaceAsThatDoesNotFitKeepsTheOldFile) {
    Command(cmd::kSaveWorkspaceAs, "work.lvw");
    const QByteArray old = Contents(dir.filePath("work.lvw"));
    ASSERT_FALSE(old.isEmpty());
    for (int i = 0; i < 30; ++i)
        ASSERT_TRUE(NewWindow(i % 3));

    FillLeaving(8192);
    Command(cmd::kSaveWorkspaceAs, "work.lvw");
    EXPECT_EQ(Contents(dir.filePath("work.lvw")), old);
    EXPECT_EQ(messages.size(), 1);
}

// The settings store, written whole or not at all.
TEST_F(DiskFullTest, SettingsThatDoNotFitKeepTheStoredFile) {
    const QString path = dir.filePath("levora.conf");
    QSettingsProfile store(path);
    store.WriteInt("Settings", "LastFunct", 2);
    ASSERT_TRUE(store.Sync());
    const QByteArray old = Contents(path);
    ASSERT_FALSE(old.isEmpty());

    FillLeaving(0);
    for (int i = 0; i < 200; ++i)
        store.WriteString("Workspace\\Frame" + std::to_string(i), "Name", std::string(100, 'n'));
    EXPECT_FALSE(store.Sync());
    EXPECT_EQ(Contents(path), old);
    EXPECT_EQ(dir.entryList(QDir::Files).size(), 2) << dir.entryList().join(' ').toStdString();
    // Once there is room again, everything is written.
    QFile::remove(dir.filePath("filler"));
    EXPECT_TRUE(store.Sync());
    EXPECT_EQ(QSettingsProfile(path).ReadString("Workspace\\Frame199", "Name", ""),
              std::string(100, 'n'));
}

} // namespace
