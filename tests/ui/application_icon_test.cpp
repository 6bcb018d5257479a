#include "app/application_icon.h"
#include "dialogs/about_dialog.h"
#include "dialogs/dialog_template.h"
#include "shell_fixture.h"

#include <QLabel>
#include <gtest/gtest.h>

namespace {

QImage At(const QIcon& icon, int side) {
    return icon.pixmap(QSize(side, side)).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Each hicolor size is carried as its own rendering, not scaled from another size.
TEST(ApplicationIconTest, EverySizeIsRenderedFromTheDrawing) {
    for (int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        SCOPED_TRACE(side);
        QImage image(QString(":/icons/levora-%1.png").arg(side));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), QSize(side, side));
        // Transparent corners outside the rounded panel, an opaque panel in the middle.
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0);
        EXPECT_EQ(qAlpha(image.pixel(side / 2, side / 2)), 255);
        EXPECT_EQ(ApplicationIcon().actualSize(QSize(side, side)), QSize(side, side));
    }
}

TEST(ApplicationIconTest, AboutBoxShowsTheIcon) {
    AboutDialog dialog;
    dialog.show();
    auto* picture = FindControl<QLabel>(dialog, kIdApplicationIcon);
    ASSERT_NE(picture, nullptr);
    const QPixmap shown = picture->pixmap();
    ASSERT_FALSE(shown.isNull());
    EXPECT_EQ(shown.toImage().convertToFormat(QImage::Format_ARGB32),
              At(ApplicationIcon(), shown.width()));
    // Beside the texts, not under them.
    for (const QLabel* label : dialog.findChildren<QLabel*>()) {
        if (label != picture) {
            EXPECT_FALSE(label->geometry().intersects(picture->geometry()))
                << label->text().toStdString();
        }
    }
}

// The frames showed a tool-bar glyph as their window icon.
TEST_F(ShellTest, FramesCarryTheApplicationIcon) {
    Start();
    ASSERT_TRUE(NewWindow(0));
    EXPECT_EQ(At(Frame(0)->windowIcon(), 32), At(ApplicationIcon(), 32));
}

} // namespace
