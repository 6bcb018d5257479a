#pragma once

#include <QImage>
#include <QSize>

// A blank RGB32 image for a window's backing image. Meter drawing walks down narrow columns,
// touching a new row, and so a new 4 KiB page, at almost every pixel it writes; the image
// therefore starts on a 2 MiB boundary and asks the kernel for huge pages, so that one
// translation covers hundreds of rows. The pixels are not initialised.
QImage MakeBackingImage(QSize size);
