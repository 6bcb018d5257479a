#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class QWidget;

// What a file dialog is asked for; filters in the "Name (*.ext)|*.ext|...||" notation are
// given here already split into Qt's "Name (*.ext)" entries.
struct FileRequest {
    bool save = false;
    QString defaultSuffix; // without the dot
    QString initialName;
    QStringList filters;
};

// Empty when cancelled. The program's file dialogs all go through here, so that tests can
// answer them.
using FileChooser = std::function<QString(const FileRequest&, QWidget* parent)>;

QString ChooseFile(const FileRequest& request, QWidget* parent);

// Installs a chooser (an empty one restores the file dialog) and returns the one replaced.
FileChooser SetFileChooser(FileChooser chooser);
