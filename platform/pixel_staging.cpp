#include "platform/pixel_staging.h"

#include "platform/pixel_memory.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {

constexpr size_t kAlignment = 64;
// A row of the widest window X allows fits a quarter.
constexpr size_t kLeastQuarterBytes = size_t{32768} * 4;

} // namespace

PixelStaging::PixelStaging(xcb_connection_t* connection, size_t bytes) : connection_(connection) {
    quarterBytes_ = bytes / kQuarters / kAlignment * kAlignment;
    bytes = quarterBytes_ * kQuarters;
    if (quarterBytes_ < kLeastQuarterBytes)
        return;
    const SharedPixels shared = MapSharedPixels("levora-staging", bytes);
    if (!shared.pixels)
        return;
    // xcb closes the descriptor once it is sent. Asking whether the server took it costs a
    // round trip, once.
    const uint32_t id = xcb_generate_id(connection_);
    if (xcb_generic_error_t* error = xcb_request_check(
            connection_, xcb_shm_attach_fd_checked(connection_, id, shared.fd, 1))) {
        std::free(error);
        munmap(shared.pixels, bytes);
        return;
    }
    id_ = id;
    pixels_ = shared.pixels;
    bytes_ = bytes;
}

PixelStaging::~PixelStaging() {
    if (!Valid())
        return;
    for (int q = 0; q < kQuarters; ++q)
        if (fenced_[q])
            xcb_discard_reply(connection_, fence_[q]);
    xcb_shm_detach(connection_, id_);
    // The server may still be reading: unmapping our side is safe, its mapping is its own.
    xcb_flush(connection_);
    munmap(pixels_, bytes_);
}

size_t PixelStaging::Reserve(size_t bytes) {
    bytes = (bytes + kAlignment - 1) & ~(kAlignment - 1);
    if (used_ + bytes > quarterBytes_) {
        fence_[quarter_] = xcb_get_input_focus(connection_).sequence;
        fenced_[quarter_] = true;
        quarter_ = (quarter_ + 1) % kQuarters;
        used_ = 0;
        if (fenced_[quarter_]) {
            // Three quarters ago: its reply is normally long in. Waiting flushes what is
            // queued, in case it is not.
            std::free(xcb_get_input_focus_reply(connection_, {fence_[quarter_]}, nullptr));
            fenced_[quarter_] = false;
        }
    }
    const size_t offset = static_cast<size_t>(quarter_) * quarterBytes_ + used_;
    used_ += bytes;
    return offset;
}

void PixelStaging::Put(const QImage& image, const QRect& rect, uint32_t window, uint32_t gc,
                       uint8_t depth) {
    const QRect area = rect & image.rect();
    if (area.isEmpty())
        return;
    const size_t rowBytes = static_cast<size_t>(area.width()) * 4;
    const int rowsPerBand = static_cast<int>(std::max<size_t>(1, quarterBytes_ / rowBytes));
    for (int top = area.top(); top <= area.bottom(); top += rowsPerBand) {
        const int rows = std::min(rowsPerBand, area.bottom() + 1 - top);
        const size_t offset = Reserve(rowBytes * rows);
        for (int r = 0; r < rows; ++r)
            std::memcpy(pixels_ + offset + r * rowBytes,
                        image.constScanLine(top + r) + area.left() * 4, rowBytes);
        xcb_shm_put_image(connection_, window, gc, static_cast<uint16_t>(area.width()),
                          static_cast<uint16_t>(rows), 0, 0, static_cast<uint16_t>(area.width()),
                          static_cast<uint16_t>(rows), static_cast<int16_t>(area.left()),
                          static_cast<int16_t>(top), depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0, id_,
                          static_cast<uint32_t>(offset));
    }
}
