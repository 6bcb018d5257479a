#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>

// A blank RGB32 image for a window's backing image. Meter drawing walks down narrow columns,
// touching a new row, and so a new 4 KiB page, at almost every pixel it writes; the image
// therefore starts on a 2 MiB boundary and asks the kernel for huge pages, so that one
// translation covers hundreds of rows. The pixels are not initialised.
QImage MakeBackingImage(QSize size);

// Memory a display server can map too: a memory file of `bytes`, mapped for reading and
// writing. The caller closes the descriptor (or hands it on) and unmaps the pixels; both are
// null (and -1) when the system gives none.
struct SharedPixels {
    int fd = -1;
    uchar* pixels = nullptr;
};
SharedPixels MapSharedPixels(const char* name, size_t bytes);
