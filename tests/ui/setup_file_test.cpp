#include "shell_fixture.h"

#include "app/command_ids.h"
#include "app/file_chooser.h"
#include "doc/line_archive.h"
#include "meters/vexa_view.h"
#include "setup/param_desc.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>

namespace {

class SetupFileTest : public ShellTest {
protected:
    SetupFileTest() {
        chooserBefore = SetFileChooser([this](const FileRequest& request, QWidget*) {
            requests.push_back(request);
            if (whileChoosing)
                whileChoosing();
            return chosen;
        });
    }
    ~SetupFileTest() override { SetFileChooser(chooserBefore); }

    QString Path(const QString& name) const { return dir.filePath(name); }
    static std::string Contents(const QString& path) {
        QFile file(path);
        file.open(QIODevice::ReadOnly);
        return file.readAll().toStdString();
    }
    static void Write(const QString& path, const std::string& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }
    void StartWith(int function) {
        profile.WriteInt("Workspace\\Frame0", "SWType", function);
        Start();
        app->messageBox = [this](const QString& text) { messages << text; };
        ASSERT_TRUE(app->InitInstance(""));
    }
    // Save Setup As into `name` through the file dialog seam.
    void SaveAs(int slot, const QString& name) {
        chosen = Path(name);
        Frame(slot)->RouteCommand(cmd::kFileSaveSetupAs);
    }
    double Param(int slot, int id) { return ParamValue(*Doc(slot)->MeterView()->Params(), id); }

    QTemporaryDir dir;
    QString chosen;
    std::vector<FileRequest> requests;
    QStringList messages;
    FileChooser chooserBefore;
    // What happens while the file dialog is open.
    std::function<void()> whileChoosing;
};

TEST_F(SetupFileTest, SaveSetupAsWritesTheBlockAndNamesTheWindow) {
    StartWith(0);
    CVexaDoc* doc = Doc(0);
    doc->selection.CardNumber = 3;
    doc->selection.BusType = 1;
    doc->selection.ChanNumber = 5;
    Frame(0)->SetOuterGeometry(QRect(120, 80, 400, 600));
    SaveAs(0, "stereo.lvr");
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(requests[0].save);
    EXPECT_EQ(requests[0].defaultSuffix, "lvr");
    EXPECT_EQ(requests[0].filters, QStringList{"Levora Setup (*.lvr)"});
    EXPECT_EQ(requests[0].initialName.left(3), "new");
    const std::string text = Contents(Path("stereo.lvr"));
    // The General line carries the window as it stands: the stereo view narrowed it to its
    // layout's width around the same centre.
    const QRect outer = Frame(0)->OuterGeometry();
    char general[128];
    std::snprintf(general, sizeof general,
                  "General=00837,00,%05d,%05d,00080,00680,00200,00400,00300,00400,1,1\n",
                  outer.left(), outer.left() + outer.width());
    EXPECT_EQ(text.substr(0, text.find('\n', text.find('\n') + 1) + 1),
              std::string("Stereo Level Meter\n") + general);
    EXPECT_NE(text.find("\nFont=-13,0,0,0,0,ARIAL\n"), std::string::npos);
    EXPECT_TRUE(text.ends_with("\n\n\n"));
    EXPECT_TRUE(Frame(0)->windowTitle().endsWith(" - stereo.lvr"));
    EXPECT_EQ(app->recentFiles().Files().value(0), Path("stereo.lvr"));
    // Save Setup now writes in place without asking.
    Frame(0)->RouteCommand(cmd::kFileSaveSetup);
    EXPECT_EQ(requests.size(), 1u);
}

TEST_F(SetupFileTest, OpenSetupAppliesTheFileToTheForegroundWindow) {
    StartWith(1);
    ParamTable& params = *Doc(0)->MeterView()->Params();
    SetParamById(-42, kParamBottomLevel, params);
    Doc(0)->ToolBar = 0;
    Frame(0)->SetOuterGeometry(QRect(300, 200, 500, 600));
    SaveAs(0, "multi.lvr");
    // Change everything, then read the file back into the window.
    Doc(0)->SelectFunctionByKey('L');
    Frame(0)->SetOuterGeometry(QRect(10, 10, 300, 300));
    Frame(0)->activateWindow();
    QApplication::setActiveWindow(Frame(0));
    ASSERT_EQ(app->OpenDocumentFile(Path("multi.lvr")), Doc(0));
    EXPECT_EQ(Doc(0)->SWType, 1);
    EXPECT_DOUBLE_EQ(Param(0, kParamBottomLevel), -42);
    ExpectPlaced(Frame(0), QRect(300, 200, 500, 600));
    EXPECT_EQ(OpenWindows(), 1);
}

// Regression: Open Setup read the active window only after its dialog had closed, when no
// window of the program was active yet, and opened the file in a new window.
TEST_F(SetupFileTest, OpenSetupReadsIntoTheWindowOfTheCommand) {
    StartWith(0);
    SaveAs(0, "stereo.lvr");
    ASSERT_TRUE(NewWindow(2));
    ASSERT_TRUE(NewWindow(1));
    requests.clear();
    // The dialog leaves no window of the program active; the command came from window 2.
    whileChoosing = [] { QApplication::setActiveWindow(nullptr); };
    chosen = Path("stereo.lvr");
    Frame(2)->RouteCommand(cmd::kFileOpenSetup);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_FALSE(requests[0].save);
    EXPECT_EQ(
        requests[0].filters,
        (QStringList{"Levora Setup (*.lvr)", "Levora Workspace Files (*.lvw)", "All Files (*)"}));
    EXPECT_EQ(OpenWindows(), 3);
    EXPECT_EQ(Doc(2)->SWType, 0);
    EXPECT_EQ(Doc(2)->PathName(), Path("stereo.lvr"));
    EXPECT_EQ(Doc(1)->SWType, 2);
    // The file window 0 already shows is read into the command's window too, not just raised.
    Doc(2)->SelectFunctionByKey('M');
    whileChoosing = [this] { QApplication::setActiveWindow(Frame(0)); };
    Frame(2)->RouteCommand(cmd::kFileOpenSetup);
    EXPECT_EQ(Doc(2)->SWType, 0);
    EXPECT_EQ(OpenWindows(), 3);
    // Ctrl+O and the recent-file list go the same way.
    Doc(2)->SelectFunctionByKey('G');
    whileChoosing = [] { QApplication::setActiveWindow(nullptr); };
    Frame(2)->RouteCommand(cmd::kFileMruFirst);
    EXPECT_EQ(Doc(2)->SWType, 0);
    EXPECT_EQ(OpenWindows(), 3);
}

// Regression: an invalid file chosen in Open Setup was followed by a Function Select and a
// new window.
TEST_F(SetupFileTest, AnInvalidFileChosenInAWindowShowsOnlyItsMessage) {
    StartWith(1);
    ASSERT_TRUE(NewWindow(2));
    Write(Path("bad.lvr"), "Stereo Level Meter \nGeneral=00001,00\n");
    int dialogs = 0;
    answer = [&dialogs](QDialog& dialog) {
        ++dialogs;
        dialog.reject();
        return int(QDialog::Rejected);
    };
    whileChoosing = [] { QApplication::setActiveWindow(nullptr); };
    chosen = Path("bad.lvr");
    Frame(1)->RouteCommand(cmd::kFileOpenSetup);
    EXPECT_EQ(messages, QStringList{"This is not a valid Levora setup file"});
    EXPECT_EQ(dialogs, 0);
    EXPECT_EQ(OpenWindows(), 2);
    EXPECT_EQ(Doc(1)->SWType, 2);
    EXPECT_TRUE(Doc(1)->PathName().isEmpty());
}

TEST_F(SetupFileTest, WorkspaceOfTwoLoadedIntoFourWindowsClosesTheOtherTwo) {
    StartWith(0);
    ASSERT_TRUE(NewWindow(2));
    chosen = Path("two.lvw");
    Frame(0)->RouteCommand(cmd::kSaveWorkspaceAs);
    ASSERT_EQ(requests.back().filters,
              (QStringList{"Levora Workspace Files (*.lvw)", "All Files (*)"}));
    ASSERT_TRUE(NewWindow(1));
    ASSERT_TRUE(NewWindow(1));
    Doc(0)->SelectFunctionByKey('M');
    ASSERT_EQ(OpenWindows(), 4);
    EXPECT_EQ(app->LoadWorkspaceFile(Path("two.lvw")), 2);
    Flush();
    EXPECT_EQ(OpenWindows(), 2);
    EXPECT_EQ(Doc(0)->SWType, 0);
    EXPECT_EQ(Doc(1)->SWType, 2);
    // The same file in a single window opens the second one.
    Frame(1)->DestroyFrame();
    Flush();
    EXPECT_EQ(app->OpenDocumentFile(Path("two.lvw")), Doc(0));
    EXPECT_EQ(OpenWindows(), 2);
    EXPECT_EQ(Doc(1)->SWType, 2);
}

TEST_F(SetupFileTest, OneWindowWorkspaceIsASetupFile) {
    StartWith(2);
    Doc(0)->selection.CardNumber = 4;
    chosen = Path("one.lvw");
    Frame(0)->RouteCommand(cmd::kSaveWorkspaceAs);
    std::string workspace = Contents(Path("one.lvw"));
    Write(Path("one.lvr"), workspace);
    Doc(0)->SelectFunctionByKey('L');
    Doc(0)->selection.CardNumber = 0;
    QApplication::setActiveWindow(Frame(0));
    ASSERT_NE(app->OpenDocumentFile(Path("one.lvr")), nullptr);
    EXPECT_EQ(Doc(0)->SWType, 2);
    EXPECT_EQ(Doc(0)->selection.CardNumber, 4);
    // Saving that window in place must not clobber the workspace it came from.
    Doc(0)->SelectFunctionByKey('G');
    QApplication::setActiveWindow(Frame(0));
    app->OpenDocumentFile(Path("one.lvw"));
    chosen.clear(); // the dialog is cancelled
    Frame(0)->RouteCommand(cmd::kFileSaveSetup);
    EXPECT_EQ(Contents(Path("one.lvw")), workspace);
}

TEST_F(SetupFileTest, AFileThatIsNoSetupFileGetsTheFunctionSelectFallback) {
    StartWith(0);
    Write(Path("bad.lvr"), "Stereo Level Meter \nGeneral=00001,00\n");
    QApplication::setActiveWindow(nullptr);
    AnswerFunctionSelect(-1);
    profile.WriteInt("Settings", "LastFunct", 2);
    // Not in a foreground window: a new window comes up with the fallback function.
    CVexaDoc* doc = app->OpenDocumentFile(Path("bad.lvr"));
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(messages.value(0), "This is not a valid Levora setup file");
    EXPECT_EQ(doc->SWType, 2);
    EXPECT_EQ(OpenWindows(), 2);
}

TEST_F(SetupFileTest, BadFilesNeitherCrashNorChangeTheWindow) {
    StartWith(1);
    const ParamTable& params = *Doc(0)->MeterView()->Params();
    const double bottom = ParamValue(params, kParamBottomLevel);
    const std::string good = "Multichannel Level Meter\r\nGeneral=00001,00\r\nFont=-10,0,0,0,0,"
                             "ARIAL\r\nBottom Level=-33.000000\r\n";
    const std::string cases[] = {
        "",
        std::string("\0\0\0\xff\xfe garbage", 14),
        std::string(100000, 'x') + "\n",
        "Multichannel Level Meter\nGeneral=",
        "Multichannel Level Meter\n" + std::string(5000, ','),
        good.substr(0, good.size() - 12), // ends inside the parameter block
    };
    int i = 0;
    for (const std::string& bytes : cases) {
        const QString path = Path(QString("case%1.lvr").arg(i++));
        Write(path, bytes);
        QApplication::setActiveWindow(Frame(0));
        EXPECT_EQ(app->OpenDocumentFile(path), Doc(0)) << i;
        EXPECT_EQ(OpenWindows(), 1) << i;
    }
    EXPECT_DOUBLE_EQ(ParamValue(params, kParamBottomLevel), bottom);
    Write(Path("crlf.lvr"), good);
    QApplication::setActiveWindow(Frame(0));
    app->OpenDocumentFile(Path("crlf.lvr"));
    EXPECT_DOUBLE_EQ(ParamValue(*Doc(0)->MeterView()->Params(), kParamBottomLevel), -33);
    EXPECT_EQ(Doc(0)->selection.ChanNumber, 1);
}

TEST_F(SetupFileTest, FailedSaveKeepsTheOldFileAndSaysSo) {
    StartWith(0);
    SaveAs(0, "kept.lvr");
    const std::string before = Contents(Path("kept.lvr"));
    Doc(0)->selection.ChanNumber = 7;
    ::chmod(QFile::encodeName(dir.path()).constData(), 0500);
    if (QFileInfo(dir.path()).isWritable()) { // running as root: permissions do not bite
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
        chosen = "/proc/levora-cannot-write-here.lvr";
        Frame(0)->RouteCommand(cmd::kFileSaveSetupAs);
    } else {
        Frame(0)->RouteCommand(cmd::kFileSaveSetup);
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    }
    EXPECT_EQ(Contents(Path("kept.lvr")), before);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains("could not be saved")) << messages[0].toStdString();
}

TEST_F(SetupFileTest, RecentFilesAreKeptMostRecentFirstAndLoseWhatNoLongerOpens) {
    StartWith(0);
    for (const char* name : {"a.lvr", "b.lvr", "c.lvr"})
        SaveAs(0, name);
    SaveAs(0, "a.lvr");
    EXPECT_EQ(app->recentFiles().Files(),
              (QStringList{Path("a.lvr"), Path("c.lvr"), Path("b.lvr")}));
    EXPECT_EQ(profile.ReadString("Recent File List", "File1", ""), Path("a.lvr").toStdString());
    Frame(0)->UpdateRecentFileMenu();
    EXPECT_TRUE(Frame(0)->Action(cmd::kFileMruFirst + 2)->isVisible());
    EXPECT_FALSE(Frame(0)->Action(cmd::kFileMruFirst + 3)->isVisible());
    QFile::remove(Path("c.lvr"));
    Frame(0)->RouteCommand(cmd::kFileMruFirst + 1);
    EXPECT_EQ(messages.size(), 1);
    EXPECT_EQ(app->recentFiles().Files(), (QStringList{Path("a.lvr"), Path("b.lvr")}));
}

TEST_F(SetupFileTest, AFileOnTheCommandLineReplacesTheStoredWorkspace) {
    profile.WriteInt("Workspace", "NumOfWins", 3);
    for (int n = 0; n < 3; ++n)
        profile.WriteInt("Workspace\\Frame" + std::to_string(n), "SWType", 1);
    Write(Path("only.lvr"), "Global Level Meter\nGeneral=00000,00\n");
    Start();
    ASSERT_TRUE(app->InitInstance(Path("only.lvr")));
    EXPECT_EQ(OpenWindows(), 1);
    EXPECT_EQ(Doc(0)->SWType, 2);
}

} // namespace

namespace {

std::string Block(const char* title, int chanNumber) {
    char general[96];
    std::snprintf(general, sizeof general,
                  "General=%05d,00,00100,00500,00100,00700,00200,"
                  "00400,00300,00400,1,1\n",
                  chanNumber);
    return std::string(title) + "\n" + general + "Font=-10,0,0,0,0,ARIAL\n\n\n";
}

TEST_F(SetupFileTest, WorkspaceOfMoreThanFortyBlocksOpensForty) {
    StartWith(1);
    std::string workspace;
    for (int i = 0; i < 45; ++i)
        workspace += Block("Global Level Meter", i);
    Write(Path("many.lvw"), workspace);
    EXPECT_EQ(app->LoadWorkspaceFile(Path("many.lvw")), 40);
    EXPECT_EQ(OpenWindows(), 40);
    EXPECT_EQ(Doc(39)->selection.ChanNumber, 39);
}

TEST_F(SetupFileTest, WorkspaceWhoseSecondBlockIsInvalidClosesTheRest) {
    StartWith(1);
    ASSERT_TRUE(NewWindow(0));
    ASSERT_TRUE(NewWindow(2));
    Write(Path("broken.lvw"),
          Block("Stereo Level Meter", 3) + "Not a title\n" + Block("Global Level Meter", 4));
    EXPECT_EQ(app->LoadWorkspaceFile(Path("broken.lvw")), 1);
    Flush();
    EXPECT_EQ(OpenWindows(), 1);
    EXPECT_EQ(Doc(0)->SWType, 0);
    EXPECT_EQ(Doc(0)->selection.ChanNumber, 3);
}

TEST_F(SetupFileTest, LoadWorkspaceWithASetupFileAppliesItToTheFirstWindow) {
    StartWith(1);
    ASSERT_TRUE(NewWindow(0));
    Write(Path("single.lvr"), Block("Global Level Meter", 9));
    chosen = Path("single.lvr");
    Frame(0)->RouteCommand(cmd::kLoadWorkspace);
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.back().defaultSuffix, "lvw");
    EXPECT_EQ(requests.back().initialName, "*.lvw");
    EXPECT_EQ(requests.back().filters,
              (QStringList{"Levora Workspace Files (*.lvw)", "Levora Setup Files (*.lvr)",
                           "All Files (*)"}));
    Flush();
    EXPECT_EQ(OpenWindows(), 1);
    EXPECT_EQ(Doc(0)->SWType, 2);
    EXPECT_EQ(app->recentFiles().Files().value(0), Path("single.lvr"));
}

TEST_F(SetupFileTest, SecondLaunchWithAFileOpensIt) {
    StartWith(1);
    Write(Path("handed.lvr"), Block("Stereo Level Meter", 2));
    profile.WriteString("Temp", "OpenFile", Path("handed.lvr").toStdString());
    QApplication::setActiveWindow(nullptr);
    QEvent handOver(CMainFrame::kHandOverEvent);
    QCoreApplication::sendEvent(Frame(0), &handOver);
    EXPECT_EQ(OpenWindows(), 2);
    EXPECT_EQ(Doc(1)->SWType, 0);
    EXPECT_EQ(Doc(1)->selection.ChanNumber, 2);
    // The same file again: the window that has it comes to the front instead.
    QCoreApplication::sendEvent(Frame(0), &handOver);
    EXPECT_EQ(OpenWindows(), 2);
}

} // namespace
