#pragma once

#include <QImage>
#include <QSize>
#include <cstddef>

// A blank RGB32 image for a window's backing image. Meter drawing walks down narrow columns,
// touching a new row, and so a new 4 KiB page, at almost every pixel it writes; the image
// therefore starts on a 2 MiB boundary and asks the kernel for huge pages, so that one
// translation covers hundreds of rows. The pixels are not initialised.
QImage MakeBackingImage(QSize size);

// The pixels of an RGB32 image of `size` in a fresh shared-memory file (4 KiB pages: the
// kernel gives shared memory no huge pages by default), mapped read-write; the caller owns
// the descriptor and the mapping. An fd of -1 when it cannot be made.
struct SharedPixels {
    int fd = -1;
    uchar* pixels = nullptr;
    size_t bytes = 0;
};
SharedPixels MapSharedPixels(QSize size);

// From now on MakeBackingImage maps its pixels as MapSharedPixels does, the memory of a window
// whose image the X server reads: benchmarks measure drawing into what the program draws into.
void UseSharedBackingMemory();
