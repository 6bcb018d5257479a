#include "setup/bitmap_cache.h"

#include <QString>
#include <utility>

BitmapSurfaceCache::BitmapSurfaceCache(Loader loader) : loader_(std::move(loader)) {}

const QImage* BitmapSurfaceCache::GetBitmapDC(int32_t id) {
    if (id < 0)
        return nullptr;
    if (id == lastId_)
        return &entries_[lastIndex_].surface;
    for (size_t i = 0; i < count_; ++i) {
        if (entries_[i].id == id) {
            lastId_ = id;
            lastIndex_ = i;
            return &entries_[i].surface;
        }
    }
    if (count_ == kMaxEntries)
        return nullptr;
    entries_[count_] = {id, loader_(id)};
    lastId_ = id;
    lastIndex_ = count_++;
    return &entries_[lastIndex_].surface;
}

QImage LoadSetupBitmap(int32_t id) {
    // The bitmaps live in a static library, whose resources nothing else would pull in.
    static const bool registered = [] {
        Q_INIT_RESOURCE(setup_bitmaps);
        return true;
    }();
    (void)registered;
    const QImage image(QStringLiteral(":/setup/%1.png").arg(id));
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

BitmapSurfaceCache& SetupBitmaps() {
    static BitmapSurfaceCache cache(LoadSetupBitmap);
    return cache;
}
