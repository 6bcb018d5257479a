#include "app/file_io.h"

#include <QFile>
#include <QSaveFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace file_io {

namespace {

// Setup and workspace files are a few kilobytes; a file far larger is not one of them and
// is not read into memory.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

QString CannotRead(const QString& path, int error) {
    return QString("File %1 cannot be read: %2").arg(path, QString::fromLocal8Bit(strerror(error)));
}

} // namespace

bool Read(const QString& path, std::string& bytes, QString& error) {
    // Without blocking: opening a FIFO must not wait for a writer.
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat info = {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0) {
        error = CannotRead(path, errno);
        return false;
    }
    // A device, FIFO or directory is never a setup file, and a device's size says nothing.
    if (!S_ISREG(info.st_mode)) {
        error = QString("File %1 is not a regular file: Levora reads setup and workspace files "
                        "only from regular files.")
                    .arg(path);
        return false;
    }
    // Bounded by what arrives, not by the size the file claimed when it was opened.
    std::string data;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(file.get(), chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = CannotRead(path, errno);
            return false;
        }
        if (n == 0)
            break;
        if (static_cast<qint64>(data.size()) + n > kMaxFileSize) {
            error = QString("File %1 is too large for a Levora setup or workspace file.").arg(path);
            return false;
        }
        data.append(chunk, static_cast<size_t>(n));
    }
    bytes = std::move(data);
    return true;
}

bool Write(const QString& path, const std::string& bytes, QString& error) {
    QSaveFile file(path);
    // Unbuffered and every result checked: Qt's commit() renames the new file over the old
    // one even when flushing its buffer failed (a full disk).
    const qint64 size = static_cast<qint64>(bytes.size());
    const bool written = file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) &&
                         file.write(bytes.data(), size) == size && file.flush() &&
                         file.error() == QFileDevice::NoError;
    if (written && file.commit())
        return true;
    error = QString("File %1 could not be saved: %2. The file is as it was before.")
                .arg(path, file.errorString());
    file.cancelWriting();
    return false;
}

} // namespace file_io
