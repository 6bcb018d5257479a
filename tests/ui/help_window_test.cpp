#include "dialogs/help_window.h"

#include "dialog_test_support.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <set>

namespace {

constexpr int kTopics[] = {200, 225, 228, 232, 248, 249, 255, 261};

// The pages every link of the page shown now leads to, as resource paths.
std::set<QString> LinkedPages() {
    std::set<QString> pages;
    HelpWindow& help = HelpWindow::Instance();
    const QTextDocument* document = help.browser().document();
    for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.isAnchor() && !format.anchorHref().isEmpty())
                pages.insert(help.currentPage().resolved(QUrl(format.anchorHref())).path());
        }
    }
    return pages;
}

struct Topic {
    int context;
    const char* heading;
};

class HelpTopicTest : public testing::TestWithParam<Topic> {};

TEST_P(HelpTopicTest, ShowsThePageOfTheContext) {
    HideHelp();
    ShowHelpTopic(GetParam().context);
    EXPECT_TRUE(HelpShows(GetParam().context));
    EXPECT_EQ(HelpWindow::Instance().currentPage(),
              QUrl(QStringLiteral("qrc:/help/%1.html").arg(GetParam().context)));
    EXPECT_TRUE(HelpWindow::Instance().browser().toPlainText().startsWith(GetParam().heading));
    EXPECT_TRUE(HelpWindow::Instance().windowTitle().contains(GetParam().heading));
}

INSTANTIATE_TEST_SUITE_P(
    EveryContext, HelpTopicTest,
    testing::Values(Topic{200, "Levora Help"}, Topic{225, "Stereo Level Meter"},
                    Topic{228, "Setup Window"}, Topic{232, "Channel Setup"},
                    Topic{248, "Multichannel Level Meter"}, Topic{249, "Global Level Meter"},
                    Topic{255, "Color Settings"}, Topic{261, "Function Select"}));

class UnknownHelpContextTest : public testing::TestWithParam<int> {};

TEST_P(UnknownHelpContextTest, ShowsTheContents) {
    ShowHelpTopic(225);
    ShowHelpTopic(GetParam());
    EXPECT_TRUE(HelpShows(200));
}

INSTANTIATE_TEST_SUITE_P(Unknown, UnknownHelpContextTest, testing::Values(-1, 0, 201, 999));

TEST(HelpWindowTest, TheContentsLinkToEveryOtherPage) {
    ShowHelpTopic(200);
    const std::set<QString> linked = LinkedPages();
    for (int context : kTopics) {
        if (context == 200)
            continue;
        EXPECT_TRUE(linked.count(QStringLiteral("/help/%1.html").arg(context)))
            << "no link to " << context;
    }
}

TEST(HelpWindowTest, EveryLinkOfEveryPageLeadsToAPage) {
    for (int context : kTopics) {
        ShowHelpTopic(context);
        ASSERT_EQ(HelpWindow::Instance().currentTopic(), context);
        for (const QString& page : LinkedPages())
            EXPECT_TRUE(QFile::exists(QLatin1Char(':') + page))
                << context << " links " << page.toStdString();
    }
}

TEST(HelpWindowTest, OneWindowServesEveryTopic) {
    ShowHelpTopic(225);
    ShowHelpTopic(232);
    int windows = 0;
    for (const QWidget* widget : QApplication::topLevelWidgets())
        windows += qobject_cast<const HelpWindow*>(widget) != nullptr;
    EXPECT_EQ(windows, 1);
    EXPECT_TRUE(HelpShows(232));
}

TEST(HelpWindowTest, StaysUsableWhileTheModalDialogThatAskedForItRuns) {
    QDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    ASSERT_TRUE(ShowActive(dialog));
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    ShowHelpTopic(228);
    HelpWindow& help = HelpWindow::Instance();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&help));
    help.browser().setFocus();
    QScrollBar& scroll = *help.browser().verticalScrollBar();
    scroll.setValue(0);
    // Through the window system, where input to windows a modal dialog blocks is dropped.
    QTest::keyClick(help.windowHandle(), Qt::Key_End);
    EXPECT_GT(scroll.value(), 0);
}

} // namespace
