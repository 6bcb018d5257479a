#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <functional>

// The setup windows' bitmaps, each loaded once into a surface of its own and kept for the
// whole run, at most 60 of them. The last lookup is remembered, so the cells of one text box
// cost a comparison each.
class BitmapSurfaceCache {
public:
    static constexpr size_t kMaxEntries = 60;
    using Loader = std::function<QImage(int32_t id)>;

    explicit BitmapSurfaceCache(Loader loader);
    BitmapSurfaceCache(const BitmapSurfaceCache&) = delete;
    BitmapSurfaceCache& operator=(const BitmapSurfaceCache&) = delete;

    // The surface of bitmap `id`, loaded on first use (a bitmap the program lacks gets an
    // empty surface, which draws nothing). Null for a negative id, or for a new id once the
    // cache is full.
    const QImage* GetBitmapDC(int32_t id);
    size_t size() const { return count_; }

private:
    struct Entry {
        int32_t id = -1;
        QImage surface;
    };

    Loader loader_;
    std::array<Entry, kMaxEntries> entries_;
    size_t count_ = 0;
    int32_t lastId_ = -1;
    size_t lastIndex_ = 0;
};

// Bitmap `id` from the program's resources, in the drawing contexts' pixel format; a null
// image when there is none.
QImage LoadSetupBitmap(int32_t id);

// The cache all setup windows share.
BitmapSurfaceCache& SetupBitmaps();
