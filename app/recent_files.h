#pragma once

#include <QStringList>

class Profile;

// The most recently used setup and workspace files, most recent first, as the settings
// store keeps them in "Recent File List" "File1" to "File8".
class RecentFiles {
public:
    static constexpr int kMax = 8;

    explicit RecentFiles(Profile& profile);

    const QStringList& Files() const { return files_; }
    void Add(const QString& path);
    void Remove(const QString& path);

private:
    void Store();

    Profile& profile_;
    QStringList files_;
};
