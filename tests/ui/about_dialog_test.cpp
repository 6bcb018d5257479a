#include "dialogs/about_dialog.h"

#include "dialog_test_support.h"
#include "dialogs/modal_run.h"

#include <QLabel>

namespace {

class AboutDialogTest : public testing::Test {
protected:
    AboutDialogTest() {
        dialog_.SetUrlOpener([this](const QUrl& url) { opened_.push_back(url); });
        dialog_.show();
    }
    QLabel& Link() const { return *FindControl<QLabel>(dialog_, kIdWebLink); }

    AboutDialog dialog_;
    std::vector<QUrl> opened_;
};

TEST_F(AboutDialogTest, ShowsNameAndVersion) {
    EXPECT_EQ(dialog_.windowTitle(), "About Levora");
    QStringList texts;
    for (const QLabel* label : dialog_.findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.contains("Ostrel Levora"));
    EXPECT_TRUE(texts.contains("Version 2.0"));
}

TEST_F(AboutDialogTest, TheLinkLooksLikeALink) {
    EXPECT_EQ(Link().cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(Link().palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_TRUE(Link().font().underline());
    EXPECT_LT(QFontInfo(Link().font()).pixelSize(), QFontInfo(dialog_.font()).pixelSize());
    EXPECT_FALSE(Link().autoFillBackground());
}

TEST_F(AboutDialogTest, ClickingTheLinkOpensTheMakersSite) {
    QTest::mouseClick(&Link(), Qt::LeftButton);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QUrl("https://www.ostrel.example/"));
    EXPECT_TRUE(dialog_.isVisible());
}

TEST_F(AboutDialogTest, OkCloses) {
    ClickButton(dialog_, kIdOk);
    EXPECT_FALSE(dialog_.isVisible());
    EXPECT_EQ(dialog_.result(), QDialog::Accepted);
}

TEST(RunAboutDialogTest, RunsThroughTheModalRunner) {
    QString shown;
    const ScopedModalRunner runner([&shown](QDialog& dialog) {
        shown = dialog.windowTitle();
        dialog.accept();
        return dialog.result();
    });
    RunAboutDialog();
    EXPECT_EQ(shown, "About Levora");
}

// Fault: a window manager that offers minimise on dialogs hid the running About box, and the
// meter windows then refused every click with nothing on the screen to say why.
TEST(RunAboutDialogTest, AMinimisedRunningDialogComesBack) {
    bool cameBack = false;
    const ScopedModalRunner runner([&cameBack](QDialog& dialog) {
        dialog.show();
        dialog.setWindowState(Qt::WindowMinimized);
        cameBack = QTest::qWaitFor([&] { return !dialog.isMinimized(); });
        dialog.accept();
        return dialog.result();
    });
    RunAboutDialog();
    EXPECT_TRUE(cameBack);
}

} // namespace
