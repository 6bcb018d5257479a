#pragma once

#include <QImage>
#include <QRect>
#include <cstddef>
#include <cstdint>

struct xcb_connection_t;

// A ring of memory shared with the X server, through which rectangles of window images reach
// their windows. The images themselves stay in private memory on huge pages: meter drawing
// touches a new row, so a new page, at almost every pixel it writes, and on 4 KiB pages of a
// shared segment the address translations cost more than the drawing. A poll's rectangles are
// packed here one after another instead, where the X server reads them in order.
class PixelStaging {
public:
    // The segment, attached to the server; Valid() is false when the server refuses it.
    explicit PixelStaging(xcb_connection_t* connection, size_t bytes = kDefaultBytes);
    ~PixelStaging();
    PixelStaging(const PixelStaging&) = delete;
    PixelStaging& operator=(const PixelStaging&) = delete;

    bool Valid() const { return id_ != 0; }

    // Copies `rect` of `image` (RGB32) into the ring and asks the server to draw it at the
    // same place in `window`. Rectangles larger than a quarter of the ring go in bands.
    void Put(const QImage& image, const QRect& rect, uint32_t window, uint32_t gc, uint8_t depth);

    static constexpr size_t kDefaultBytes = size_t{4} << 20;

private:
    static constexpr int kQuarters = 4;
    size_t Reserve(size_t bytes);

    xcb_connection_t* connection_;
    uint32_t id_ = 0;
    uint8_t* pixels_ = nullptr;
    size_t bytes_ = 0;
    size_t quarterBytes_ = 0;
    int quarter_ = 0; // the quarter being filled
    size_t used_ = 0; // of it
    // A request sent after the last one that read each quarter: once its reply is in, the
    // server is done with the quarter and it may be written again.
    unsigned int fence_[kQuarters] = {};
    bool fenced_[kQuarters] = {};
};
