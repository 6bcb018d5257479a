#include "app/command_ids.h"
#include "meters/vexa_view.h"
#include "shell_fixture.h"

#include <QResizeEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

struct DialogCase {
    const char* name;
    int command;
};

// The window's document went while its dialog ran (Function Select, Channel Setup): the code
// after the dialog then used the freed document.
class CloseUnderDialogTest : public ShellTest, public testing::WithParamInterface<DialogCase> {
protected:
    // The dialog runs its own event loop; from inside it `interrupt` runs, then the person
    // presses OK. (Events are processed by hand: an earlier test's exit() keeps
    // QDialog::exec from running in this process.)
    void RunCommandInterruptedBy(std::function<void()> interrupt) {
        answer = [interrupt](QDialog& dialog) {
            dialog.open();
            QTimer::singleShot(0, &dialog, [interrupt, &dialog] {
                interrupt();
                dialog.accept();
            });
            [[maybe_unused]] const bool ended =
                QTest::qWaitFor([&dialog] { return !dialog.isVisible(); });
            return dialog.result();
        };
        Frame(0)->RouteCommand(GetParam().command);
    }

    bool WaitForNoWindow() {
        return QTest::qWaitFor([this] {
            Flush();
            return OpenWindows() == 0;
        });
    }
};

TEST_P(CloseUnderDialogTest, TerminationSignalEndsTheDialogThenExits) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    ASSERT_TRUE(NewWindow(1));
    ASSERT_EQ(OpenWindows(), 2);

    RunCommandInterruptedBy([this] { app->RequestExit(); });

    ASSERT_TRUE(WaitForNoWindow());
    EXPECT_FALSE(ModalRunning());
    // Stored as Exit stores: both windows.
    EXPECT_EQ(profile.ReadInt("Workspace", "NumOfWins", -1), 2);
    EXPECT_EQ(profile.ReadInt("Workspace\\Frame1", "SWType", -1), 1);
}

TEST_P(CloseUnderDialogTest, HandOverOfABadWorkspaceEndsTheDialogFirst) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.lvw");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("not a setup block\n");
    file.close();
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    profile.WriteString("Temp", "OpenFile", path.toStdString());

    RunCommandInterruptedBy([this] {
        QEvent handOver(CMainFrame::kHandOverEvent);
        QCoreApplication::sendEvent(Frame(0), &handOver);
    });

    // A workspace whose first block does not read closes the windows it would replace.
    EXPECT_TRUE(WaitForNoWindow());
    EXPECT_FALSE(ModalRunning());
}

INSTANTIATE_TEST_SUITE_P(Dialogs, CloseUnderDialogTest,
                         testing::Values(DialogCase{"FunctionSelect", cmd::kFunctionSelect},
                                         DialogCase{"ChannelSetup", cmd::kChannelSetup}),
                         [](const auto& info) { return std::string(info.param.name); });

// A resize queued for a view before Exit ran after its document was freed.
TEST_F(ShellTest, EventQueuedForTheViewAfterItsWindowWentIsHarmless) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    QPointer<CVexaView> view = Frame(0)->ActiveView();
    ASSERT_TRUE(view);
    Frame(0)->RouteCommand(cmd::kAppExit);
    ASSERT_TRUE(view); // deleted later
    QResizeEvent resize(QSize(300, 200), view->size());
    QCoreApplication::sendEvent(view, &resize);
    EXPECT_EQ(view->GetDocument(), nullptr);
    Flush();
    EXPECT_FALSE(view);
}

} // namespace
