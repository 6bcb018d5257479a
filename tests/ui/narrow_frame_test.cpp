#include "shell_fixture.h"

#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolButton>

namespace {

struct NarrowCase {
    const char* what;
    friend void PrintTo(const NarrowCase& c, std::ostream* os) { *os << c.what; }
    int function;
    int card;
};

// Each window at its narrowest: the width its meter locks, as narrow as the layout allows.
class NarrowFrameTest : public ShellTest, public testing::WithParamInterface<NarrowCase> {
protected:
    void SetUp() override {
        profile.WriteInt("Workspace\\Frame0", "SWType", GetParam().function);
        profile.WriteInt("Workspace\\Frame0", "CardNumber", GetParam().card);
        Start();
        ASSERT_TRUE(app->InitInstance(""));
        Frame(0)->show();
        QCoreApplication::processEvents();
    }

    QWidget* Pane(const char* name) const { return Frame(0)->findChild<QLabel*>(name); }
};

TEST_P(NarrowFrameTest, ShowsEveryMenuTitle) {
    // Regression: the stereo window's menu bar hid View and Help behind its extension button.
    const QMenuBar* bar = Frame(0)->menuBar();
    for (QAction* menu : bar->actions()) {
        const QRect title = bar->actionGeometry(menu);
        EXPECT_FALSE(title.isEmpty()) << menu->text().toStdString();
        EXPECT_TRUE(bar->rect().contains(title)) << menu->text().toStdString();
    }
    const auto* extension = bar->findChild<QToolButton*>("qt_menubar_ext_button");
    EXPECT_TRUE(extension == nullptr || !extension->isVisible());
}

TEST_P(NarrowFrameTest, StatusPanesStandSideBySideWhole) {
    // Regression: the panes overprinted each other ("Press F1 for heNo card a...").
    const QStatusBar* bar = Frame(0)->statusBar();
    const QWidget* panes[] = {Pane("pane0"), Pane("59143"), Pane("59144")};
    for (const QWidget* pane : panes) {
        ASSERT_NE(pane, nullptr);
        EXPECT_TRUE(bar->rect().contains(pane->geometry())) << pane->objectName().toStdString();
    }
    EXPECT_LE(panes[0]->geometry().right(), panes[1]->geometry().left());
    EXPECT_LE(panes[1]->geometry().right(), panes[2]->geometry().left());
    EXPECT_GE(panes[0]->width(), 120);
    // The rate pane holds each of its texts, whichever it shows now.
    const auto* rate = static_cast<const QLabel*>(panes[1]);
    for (const QString& text : CVexaDoc::RatePaneTexts())
        EXPECT_LE(rate->fontMetrics().horizontalAdvance(text), rate->contentsRect().width())
            << text.toStdString();
}

TEST_P(NarrowFrameTest, LongPromptIsCutAndLeavesTheNarrowestWidthAsItWas) {
    const QRect rate = Pane("59143")->geometry();
    const int narrowest = Frame(0)->NarrowestViewWidth();
    QStatusTipEvent tip(QString("Open the setup-window of the current function."));
    QCoreApplication::sendEvent(Frame(0), &tip);
    QCoreApplication::processEvents();
    EXPECT_EQ(static_cast<QLabel*>(Pane("pane0"))->text(),
              "Open the setup-window of the current function.");
    EXPECT_EQ(Frame(0)->NarrowestViewWidth(), narrowest);
    EXPECT_EQ(Pane("59143")->geometry(), rate);
    EXPECT_LE(Pane("pane0")->geometry().right(), rate.left());
}

INSTANTIATE_TEST_SUITE_P(Windows, NarrowFrameTest,
                         testing::Values(NarrowCase{"stereo", 0, 3},
                                         NarrowCase{"stereo_without_card", 0, 5},
                                         NarrowCase{"multi_without_card", 1, 2},
                                         NarrowCase{"global_without_card", 2, 5}),
                         [](const testing::TestParamInfo<NarrowCase>& info) {
                             return std::string(info.param.what);
                         });

} // namespace
