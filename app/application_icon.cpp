#include "app/application_icon.h"

QIcon ApplicationIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QString(":/icons/levora-%1.png").arg(size), QSize(size, size));
    return icon;
}
