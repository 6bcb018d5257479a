#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QLocalServer;
class Profile;

// Finds a running instance of the program for this user and hands it the file to open, or
// becomes the instance that later launches hand over to. A lock file serialises the
// connect-or-listen step, so two launches at once never both serve and a stale server left by
// a crash is removed only by the launch that holds the lock.
class InstanceChannel : public QObject {
    Q_OBJECT

public:
    enum class Result { Serving, HandedOver, Failed };

    // `name` tells apart independent channels (tests); the program uses DefaultName(). A name
    // that is not an absolute path is a file in the user's runtime directory.
    explicit InstanceChannel(QString name = DefaultName());
    ~InstanceChannel() override;

    static QString DefaultName();

    // Writes the file (empty for none) to "Temp" "OpenFile" and delivers the hand-over to a
    // running instance; when none answers, starts serving and calls `onHandOver` for every
    // later launch.
    Result Start(Profile& profile, const QString& file, std::function<void()> onHandOver);

private:
    // The socket's path: the channel's name, or a variant of it when that is taken.
    QString SocketPath() const;
    // True when a running instance took the connection (it handles the message when it can).
    bool HandOver(const QString& path, Profile& profile, const QString& file);
    void OnConnection();

    QString name_;
    std::unique_ptr<QLocalServer> server_;
    std::function<void()> onHandOver_;
};
