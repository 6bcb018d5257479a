#include "app/instance_channel.h"
#include "platform/memory_profile.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLocalServer>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A channel of its own in a fresh directory, as a user's runtime directory would hold it.
struct ChannelPath {
    QTemporaryDir dir;
    QString path = dir.filePath("instance");
};

// Two launches, the second while the first serves: the second hands its file over. Both live
// in this process, so the first one's side is driven by the event loop of the wait below.
void ExpectOneInstance(const QString& name, const QString& file) {
    MemoryProfile profile;
    int handOvers = 0;
    InstanceChannel first(name);
    ASSERT_EQ(first.Start(profile, "", [&] { ++handOvers; }), InstanceChannel::Result::Serving);
    InstanceChannel second(name);
    InstanceChannel::Result result{};
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { result = second.Start(profile, file, [] {}); },
        Qt::QueuedConnection);
    QTRY_COMPARE(handOvers, 1);
    EXPECT_EQ(result, InstanceChannel::Result::HandedOver);
    EXPECT_EQ(profile.ReadString("Temp", "OpenFile", ""), file.toStdString());
}

TEST(InstanceChannel, SecondLaunchHandsItsFileToTheFirst) {
    ChannelPath channel;
    ExpectOneInstance(channel.path, "/tmp/mix.lvr");
}

TEST(InstanceChannel, StaleSocketOfACrashedInstanceIsReplaced) {
    ChannelPath place;
    const QString name = place.path;
    {
        // What a crash leaves behind: a socket file nobody listens on.
        int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        ASSERT_GE(fd, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, QFile::encodeName(name).constData(), sizeof addr.sun_path - 1);
        ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
        ASSERT_EQ(::listen(fd, 1), 0);
        ::close(fd); // the file stays, with no listener
    }
    ASSERT_TRUE(QFileInfo::exists(name));
    MemoryProfile profile;
    InstanceChannel channel(name);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(channel.Start(profile, "", [] {}), InstanceChannel::Result::Serving);
    EXPECT_LT(clock.elapsed(), 3000);
    // A later launch finds it.
    InstanceChannel later(name);
    InstanceChannel::Result result{};
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { result = later.Start(profile, "", [] {}); },
        Qt::QueuedConnection);
    QTRY_COMPARE(result, InstanceChannel::Result::HandedOver);
}

TEST(InstanceChannel, BusyInstanceIsNotWaitedForLongAndNotDoubled) {
    ChannelPath channel;
    const QString name = channel.path;
    // An instance that accepts connections but never reads: its event loop is stuck.
    QLocalServer busy;
    ASSERT_TRUE(busy.listen(name));
    MemoryProfile profile;
    InstanceChannel second(name);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(second.Start(profile, "", [] {}), InstanceChannel::Result::HandedOver);
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_TRUE(busy.isListening());
}

// A directory where the socket belongs made every launch fail to serve: two instances ran.
TEST(InstanceChannel, DirectoryAtTheSocketPathStillKeepsOneInstance) {
    ChannelPath channel;
    ASSERT_TRUE(QDir().mkdir(channel.path));
    ExpectOneInstance(channel.path, "");
}

// A lock file with garbage in it held every launch until it turned stale (5.2 s).
TEST(InstanceChannel, GarbageLockFileIsTakenOver) {
    ChannelPath channel;
    QFile lock(channel.path + ".lock");
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    lock.write("\x01garbage\nnot a pid\n");
    lock.close();
    ExpectOneInstance(channel.path, "");
}

} // namespace
