#include "app/file_io.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A FIFO as a setup file blocked for ever in open(); a link to /dev/zero or /dev/urandom was
// read without limit, since a device's size is 0.
TEST(FileIo, OnlyRegularFilesAreRead) {
    QTemporaryDir dir;
    const QByteArray fifo = QFile::encodeName(dir.filePath("fifo.lvr"));
    ASSERT_EQ(::mkfifo(fifo.constData(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", QFile::encodeName(dir.filePath("zero.lvr")).constData()), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.lvr"));
    for (const char* name : {"fifo.lvr", "zero.lvr", "folder.lvr"}) {
        std::string bytes = "kept";
        QString error;
        EXPECT_FALSE(file_io::Read(dir.filePath(name), bytes, error)) << name;
        EXPECT_TRUE(error.contains("not a regular file")) << error.toStdString();
        EXPECT_EQ(bytes, "kept");
    }
}

TEST(FileIo, RegularFilesAndLinksToThemAreReadWhole) {
    QTemporaryDir dir;
    const std::string text = "Stereo Level Meter\nGeneral=00837\n";
    QFile file(dir.filePath("a.lvr"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text.data(), static_cast<qint64>(text.size()));
    file.close();
    ASSERT_TRUE(QFile::link(dir.filePath("a.lvr"), dir.filePath("link.lvr")));
    for (const char* name : {"a.lvr", "link.lvr"}) {
        std::string bytes;
        QString error;
        EXPECT_TRUE(file_io::Read(dir.filePath(name), bytes, error)) << error.toStdString();
        EXPECT_EQ(bytes, text);
    }
    std::string bytes;
    QString error;
    EXPECT_FALSE(file_io::Read(dir.filePath("missing.lvr"), bytes, error));
    EXPECT_TRUE(error.contains("cannot be read")) << error.toStdString();
}

} // namespace
