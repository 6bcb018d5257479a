#include "platform/pixel_memory.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

TEST(BackingImage, StartsOnAHugePageAndHoldsEveryPixel) {
    // Odd sizes: the mapping must cover the last row in full, past any page boundary.
    for (const QSize size : {QSize(1, 1), QSize(1921, 433), QSize(333, 7000)}) {
        QImage image = MakeBackingImage(size);
        ASSERT_EQ(image.size(), size);
        EXPECT_EQ(image.format(), QImage::Format_RGB32);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(image.constBits()) % (uintptr_t{2} << 20), 0u);
        image.fill(0xff123456);
        EXPECT_EQ(image.pixel(size.width() - 1, size.height() - 1), 0xff123456);
    }
}

TEST(BackingImage, CopiesLeaveTheOriginalAlone) {
    QImage image = MakeBackingImage(QSize(64, 64));
    image.fill(0xff000000);
    QImage copy = image;
    copy.setPixel(3, 3, 0xffffffff);
    EXPECT_EQ(image.pixel(3, 3), 0xff000000);
    // The original, written after its copy is gone, still owns its memory.
    copy = QImage();
    image.setPixel(5, 5, 0xff00ff00);
    EXPECT_EQ(image.pixel(5, 5), 0xff00ff00);
}

TEST(BackingImage, EmptySizeGivesNoImage) {
    EXPECT_TRUE(MakeBackingImage(QSize(0, 10)).isNull());
}

} // namespace
