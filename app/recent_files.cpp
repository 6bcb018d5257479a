#include "app/recent_files.h"

#include "platform/profile.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr const char* kSection = "Recent File List";

std::string Key(int i) {
    return "File" + std::to_string(i + 1);
}

QString Canonical(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

RecentFiles::RecentFiles(Profile& profile) : profile_(profile) {
    for (int i = 0; i < kMax; ++i) {
        const QString file = QString::fromStdString(profile_.ReadString(kSection, Key(i), ""));
        if (!file.isEmpty() && !files_.contains(file))
            files_ << file;
    }
}

void RecentFiles::Add(const QString& path) {
    const QString file = Canonical(path);
    files_.removeAll(file);
    files_.prepend(file);
    while (files_.size() > kMax)
        files_.removeLast();
    Store();
}

void RecentFiles::Remove(const QString& path) {
    if (files_.removeAll(path) + files_.removeAll(Canonical(path)) > 0)
        Store();
}

void RecentFiles::Store() {
    for (int i = 0; i < kMax; ++i) {
        if (i < files_.size())
            profile_.WriteString(kSection, Key(i), files_[i].toStdString());
        else
            profile_.WriteString(kSection, Key(i), "");
    }
}
