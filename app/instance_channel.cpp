#include "app/instance_channel.h"

#include "platform/profile.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kHandOverMessage = "0x401\n";
constexpr const char* kAcknowledge = "ok\n";
constexpr int kConnectMs = 1000;
constexpr int kAnswerMs = 3000;
constexpr int kLockWaitMs = 5000;
// A lock file whose owner cannot be read (garbage, another host) counts as stale after this
// long; one whose owner is a live process here never does.
constexpr int kUnreadableLockMs = 500;
// Other names tried when something that is not a socket occupies the channel's path.
constexpr int kSocketNameTries = 8;

QString RuntimeDir() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return dir.isEmpty() ? QDir::tempPath() : dir;
}

} // namespace

// The socket lives in the user's runtime directory, so that launches with another runtime
// directory (another session, or a test) never meet this one.
InstanceChannel::InstanceChannel(QString name)
    : name_(QDir::isAbsolutePath(name) ? name : QDir(RuntimeDir()).filePath(name)) {}

InstanceChannel::~InstanceChannel() = default;

QString InstanceChannel::DefaultName() {
    return QString("levora-%1").arg(::getuid());
}

InstanceChannel::Result InstanceChannel::Start(Profile& profile, const QString& file,
                                               std::function<void()> onHandOver) {
    QLockFile lock(name_ + ".lock");
    lock.setStaleLockTime(kUnreadableLockMs);
    if (!lock.tryLock(kLockWaitMs))
        return Result::Failed;
    const QString socket = SocketPath();
    if (HandOver(socket, profile, file))
        return Result::HandedOver;
    // Nobody answered: whatever server file is left belongs to a dead instance.
    QLocalServer::removeServer(socket);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(socket)) {
        server_.reset();
        return Result::Failed;
    }
    onHandOver_ = std::move(onHandOver);
    connect(server_.get(), &QLocalServer::newConnection, this, &InstanceChannel::OnConnection);
    return Result::Serving;
}

QString InstanceChannel::SocketPath() const {
    // Every launch takes the first path that is free or a socket, so that a directory or file
    // left at the usual one neither stops the channel nor lets two instances run.
    for (int i = 0; i < kSocketNameTries; ++i) {
        const QString path = i == 0 ? name_ : QString("%1-%2").arg(name_).arg(i);
        struct stat info = {};
        if (::lstat(QFile::encodeName(path).constData(), &info) != 0 || S_ISSOCK(info.st_mode))
            return path;
    }
    return name_;
}

bool InstanceChannel::HandOver(const QString& path, Profile& profile, const QString& file) {
    QLocalSocket socket;
    socket.connectToServer(path);
    if (!socket.waitForConnected(kConnectMs))
        return false;
    profile.WriteString("Temp", "OpenFile", file.toStdString());
    profile.Sync();
    socket.write(kHandOverMessage);
    socket.waitForBytesWritten(kAnswerMs);
    // A busy instance answers when it gets back to its event loop; the message waits in the
    // socket for it, so this launch need not wait longer than a few seconds.
    while (socket.bytesAvailable() < 3 && socket.waitForReadyRead(kAnswerMs)) {
    }
    return true;
}

void InstanceChannel::OnConnection() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine())
                return;
            const QByteArray line = socket->readLine();
            if (line != kHandOverMessage) {
                socket->disconnectFromServer();
                return;
            }
            socket->write(kAcknowledge);
            socket->flush();
            if (onHandOver_)
                onHandOver_();
        });
    }
}
