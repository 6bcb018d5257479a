#include "platform/pixel_memory.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr size_t kHugePage = size_t{2} << 20;
constexpr size_t kPage = 4096;

struct Mapping {
    void* start;
    size_t length;
};

void Unmap(void* info) {
    auto* mapping = static_cast<Mapping*>(info);
    munmap(mapping->start, mapping->length);
    delete mapping;
}

} // namespace

QImage MakeBackingImage(QSize size) {
    if (size.isEmpty())
        return {};
    const qsizetype rowBytes = qsizetype{size.width()} * 4;
    const size_t bytes = (static_cast<size_t>(rowBytes) * size.height() + kPage - 1) & ~(kPage - 1);
    // Reserve a huge page more than needed, then give back what lies before the first
    // boundary and after the image.
    void* reserved = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (reserved == MAP_FAILED)
        return QImage(size, QImage::Format_RGB32);
    const auto base = reinterpret_cast<uintptr_t>(reserved);
    const uintptr_t aligned = (base + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > base)
        munmap(reserved, aligned - base);
    const uintptr_t end = aligned + bytes;
    if (const uintptr_t reservedEnd = base + bytes + kHugePage; reservedEnd > end)
        munmap(reinterpret_cast<void*>(end), reservedEnd - end);
    auto* pixels = reinterpret_cast<uchar*>(aligned);
    // Only advice: where huge pages are off the image works as well, a little slower.
    madvise(pixels, bytes, MADV_HUGEPAGE);
    return QImage(pixels, size.width(), size.height(), rowBytes, QImage::Format_RGB32, Unmap,
                  new Mapping{pixels, bytes});
}

SharedPixels MapSharedPixels(const char* name, size_t bytes) {
    const int fd = memfd_create(name, MFD_CLOEXEC);
    if (fd < 0)
        return {};
    void* pixels = MAP_FAILED;
    if (ftruncate(fd, static_cast<off_t>(bytes)) == 0)
        pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        close(fd);
        return {};
    }
    return {fd, static_cast<uchar*>(pixels)};
}
