#include "app/file_io.h"

#include <QFile>
#include <QSaveFile>

namespace file_io {

namespace {

// Setup and workspace files are a few kilobytes; a file far larger is not one of them and
// is not read into memory.
constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

} // namespace

bool Read(const QString& path, std::string& bytes, QString& error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QString("File %1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        error = QString("File %1 is too large for a Levora setup or workspace file.").arg(path);
        return false;
    }
    const QByteArray data = file.readAll();
    if (file.error() != QFile::NoError) {
        error = QString("File %1 cannot be read: %2").arg(path, file.errorString());
        return false;
    }
    bytes.assign(data.constData(), static_cast<size_t>(data.size()));
    return true;
}

bool Write(const QString& path, const std::string& bytes, QString& error) {
    QSaveFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(bytes.data(), static_cast<qint64>(bytes.size())) ==
                        static_cast<qint64>(bytes.size()) &&
                    file.commit();
    if (!ok) {
        error = QString("File %1 could not be saved: %2").arg(path, file.errorString());
        file.cancelWriting();
    }
    return ok;
}

} // namespace file_io
