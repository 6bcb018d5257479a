// Writes the setup windows' bitmaps into a folder, or checks that the folder holds exactly
// what this program draws: levora-setup-bitmaps write|check <folder>.

#include "tools/setup_bitmaps/setup_bitmaps.h"

#include <QDir>
#include <cstdio>
#include <cstring>

namespace {

int Write(const QDir& dir) {
    for (const SetupBitmap& bitmap : BuildSetupBitmaps()) {
        if (!bitmap.image.save(dir.filePath(bitmap.file), "PNG")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(dir.filePath(bitmap.file)));
            return 1;
        }
    }
    return 0;
}

int Check(const QDir& dir) {
    int mismatches = 0;
    for (const SetupBitmap& bitmap : BuildSetupBitmaps()) {
        const QImage stored =
            QImage(dir.filePath(bitmap.file)).convertToFormat(QImage::Format_RGB32);
        if (stored != bitmap.image) {
            std::fprintf(stderr, "%s differs from what the generator draws\n",
                         qPrintable(dir.filePath(bitmap.file)));
            ++mismatches;
        }
    }
    if (mismatches)
        std::fprintf(stderr, "run: levora-setup-bitmaps write %s\n", qPrintable(dir.path()));
    return mismatches ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "write") != 0 && std::strcmp(argv[1], "check") != 0)) {
        std::fputs("usage: levora-setup-bitmaps write|check <folder>\n", stderr);
        return 2;
    }
    const QDir dir(QString::fromLocal8Bit(argv[2]));
    return std::strcmp(argv[1], "write") == 0 ? Write(dir) : Check(dir);
}
