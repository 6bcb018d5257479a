#pragma once

#include <QImage>
#include <QString>
#include <vector>

// One bitmap of the setup windows and the file it is kept in under resources/setup/.
struct SetupBitmap {
    QString file;
    QImage image;
};

// Every bitmap the parameter tables name: the two backgrounds, the glyph strip of the text
// boxes and the faces of the check boxes and the push button.
std::vector<SetupBitmap> BuildSetupBitmaps();
