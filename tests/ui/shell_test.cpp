#include "shell_fixture.h"

#include "app/command_ids.h"
#include "app/global_settings.h"
#include "app/screen_saver_inhibitor.h"
#include "meters/vexa_view.h"
#include "platform/qsettings_profile.h"

#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <QTest>

namespace {

TEST_F(ShellTest, FirstWindowRestoresWorkspaceFrame0) {
    profile.WriteInt("Workspace\\Frame0", "SWType", 0);
    profile.WriteInt("Workspace\\Frame0", "WinPos.left", 50);
    profile.WriteInt("Workspace\\Frame0", "WinPos.top", 60);
    profile.WriteInt("Workspace\\Frame0", "WinPos.right", 450);
    profile.WriteInt("Workspace\\Frame0", "WinPos.bottom", 660);
    profile.WriteInt("Workspace\\Frame0", "CardNumber", 3);
    profile.WriteInt("Workspace\\Frame0", "ChanNumber", 12);
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    ASSERT_EQ(OpenWindows(), 1);
    EXPECT_EQ(Doc(0)->SWType, 0);
    EXPECT_EQ(Doc(0)->selection.CardNumber, 3);
    EXPECT_EQ(Doc(0)->selection.ChanNumber, 12);
    EXPECT_EQ(Doc(0)->selection.cardKind, 0);
    ExpectPlaced(Frame(0), QRect(50, 60, 400, 600));
    EXPECT_EQ(Frame(0)->windowTitle(),
              "Ostrel Levora - Stereo Level Meter - Kestrel Zento (1) Input SPDIF");
    EXPECT_TRUE(Doc(0)->levelState.running);
    EXPECT_EQ(Doc(0)->levelState.rateCode, 1);
    EXPECT_EQ(MeterFunctions()[0].openCount, 1);
}

TEST_F(ShellTest, SwitchToTheSameFunctionKeepsViewAndCount) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    CVexaView* view = Doc(0)->MeterView();
    const int count = MeterFunctions()[1].openCount;
    Doc(0)->SetFunction(1, nullptr);
    EXPECT_EQ(Doc(0)->MeterView(), view);
    EXPECT_EQ(MeterFunctions()[1].openCount, count);
    EXPECT_TRUE(Doc(0)->levelState.running);
    // An index past the table selects the global meter.
    Doc(0)->SetFunction(7, nullptr);
    EXPECT_EQ(Doc(0)->SWType, 2);
    EXPECT_NE(Doc(0)->MeterView(), view);
    EXPECT_EQ(MeterFunctions()[1].openCount, 0);
    EXPECT_EQ(MeterFunctions()[2].openCount, 1);
}

TEST_F(ShellTest, ReturningToAFunctionRestoresItsWindowFromTheSlotMemory) {
    Start();
    ASSERT_TRUE(app->InitInstance("")); // multi-channel by default
    CVexaDoc* doc = Doc(0);
    ASSERT_EQ(doc->SWType, 1);
    Frame(0)->SetOuterGeometry(QRect(120, 80, 500, 640));
    doc->SetWinPos = {10, 20, 264, 118};
    doc->OnCommand(cmd::kViewToolbar);
    ASSERT_EQ(doc->ToolBar, 0);

    doc->SelectFunctionByKey('L');
    ASSERT_EQ(doc->SWType, 0);
    EXPECT_EQ(profile.ReadInt("Temp\\Frame0\\Settings\\lev8", "SWType", -1), 1);
    Frame(0)->SetOuterGeometry(QRect(300, 300, 400, 500));
    doc->selection.CardNumber = 3;

    doc->SelectFunctionByKey('M');
    ASSERT_EQ(doc->SWType, 1);
    ExpectPlaced(Frame(0), QRect(120, 80, 500, 640));
    EXPECT_EQ(doc->ToolBar, 0);
    EXPECT_EQ(doc->SetWinPos, (WinRect{10, 20, 264, 118}));
    // The channel selection stays the window's current one.
    EXPECT_EQ(doc->selection.CardNumber, 3);
}

TEST_F(ShellTest, KeysWithCtrlDoNotSwitch) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    Frame(0)->show();
    CVexaView* view = Doc(0)->MeterView();
    QTest::keyClick(view, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Doc(0)->SWType, 1);
    QTest::keyClick(view, Qt::Key_G);
    EXPECT_EQ(Doc(0)->SWType, 2);
    QTest::keyClick(Doc(0)->MeterView(), Qt::Key_X);
    EXPECT_EQ(Doc(0)->SWType, 2);
}

// Regression: F24, F29 and F30 (whose key codes end in the bytes of G, L and M) and Alt+L
// switched the function.
TEST_F(ShellTest, OnlyPlainLetterKeysSwitchTheFunction) {
    Start();
    ASSERT_TRUE(app->InitInstance("")); // a multi-channel meter
    Frame(0)->show();
    const std::pair<Qt::Key, Qt::KeyboardModifiers> ignored[] = {
        {Qt::Key_F24, {}},
        {Qt::Key_F29, {}},
        {Qt::Key_F30, {}},
        {Qt::Key_L, Qt::AltModifier},
        {Qt::Key_G, Qt::AltModifier | Qt::ShiftModifier},
        {Qt::Key_L, Qt::MetaModifier},
    };
    for (const auto& [key, modifiers] : ignored) {
        QTest::keyClick(Doc(0)->MeterView(), key, modifiers);
        EXPECT_EQ(Doc(0)->SWType, 1) << QKeySequence(key | modifiers).toString().toStdString();
    }
    QTest::keyClick(Doc(0)->MeterView(), Qt::Key_L, Qt::ShiftModifier);
    EXPECT_EQ(Doc(0)->SWType, 0);
}

// Regression: "New &Levora Window" and "&Load Workspace", "&Activate Level Processing" and
// "&Always on top", "&Toolbar" and "S&tatus Bar" shared their mnemonics.
TEST_F(ShellTest, MnemonicsAreUniqueInEveryMenu) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    auto mnemonics = [](const QList<QAction*>& actions) {
        QStringList letters;
        for (const QAction* action : actions) {
            const QString text = action->text().section('\t', 0, 0);
            if (const int at = text.indexOf('&'); at >= 0 && at + 1 < text.size())
                letters << text.mid(at + 1, 1).toLower();
        }
        return letters;
    };
    auto duplicates = [](QStringList letters) {
        const qsizetype all = letters.size();
        letters.removeDuplicates();
        return all - letters.size();
    };
    const QList<QAction*> menus = Frame(0)->menuBar()->actions();
    EXPECT_EQ(duplicates(mnemonics(menus)), 0);
    for (const QAction* menu : menus) {
        ASSERT_NE(menu->menu(), nullptr);
        const QStringList letters = mnemonics(menu->menu()->actions());
        EXPECT_EQ(duplicates(letters), 0)
            << menu->text().toStdString() << ": " << letters.join(' ').toStdString();
    }
}

TEST_F(ShellTest, SecondWindowOfAnOpenFunctionTakesOnlyTheSize) {
    profile.WriteInt("Default\\Settings\\lev2", "WinPos.left", 100);
    profile.WriteInt("Default\\Settings\\lev2", "WinPos.top", 100);
    profile.WriteInt("Default\\Settings\\lev2", "WinPos.right", 420);
    profile.WriteInt("Default\\Settings\\lev2", "WinPos.bottom", 700);
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    // The first stereo window takes the position too.
    ASSERT_TRUE(NewWindow(0));
    ExpectPlaced(Frame(1), QRect(100, 100, 320, 600));
    // The next one is sized from the defaults but stays where the new frame stood.
    ASSERT_TRUE(NewWindow(0));
    EXPECT_EQ(Frame(2)->OuterGeometry().height(), 600);
    EXPECT_NE(Frame(2)->OuterGeometry().top(), 100);
}

TEST_F(ShellTest, CancelledNewWindowLeavesNothingBehind) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    AnswerFunctionSelect(-1);
    EXPECT_FALSE(app->OpenWindow(nullptr, nullptr));
    Flush();
    EXPECT_EQ(OpenWindows(), 1);
    // Function Select on an open window, cancelled: nothing changes.
    CVexaView* view = Doc(0)->MeterView();
    Frame(0)->RouteCommand(cmd::kFunctionSelect);
    EXPECT_EQ(Doc(0)->SWType, 1);
    EXPECT_EQ(Doc(0)->MeterView(), view);
}

TEST_F(ShellTest, CtrlActivateLevelProcessingActsOnEveryWindow) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    ASSERT_TRUE(NewWindow(0));
    ASSERT_TRUE(NewWindow(2));
    Doc(1)->OnCommand(cmd::kActivateLevelProcessing);
    ASSERT_FALSE(Doc(1)->levelState.running);

    // Ctrl held in a running window stops all of them.
    Frame(0)->show();
    QTest::keyPress(Doc(0)->MeterView(), Qt::Key_Control);
    Doc(0)->OnCommand(cmd::kActivateLevelProcessing);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(Doc(i)->levelState.running) << i;
    // Ctrl held in a stopped window starts all of them.
    Doc(0)->OnCommand(cmd::kActivateLevelProcessing);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(Doc(i)->levelState.running) << i;
    QTest::keyRelease(Doc(0)->MeterView(), Qt::Key_Control);
    Doc(0)->OnCommand(cmd::kActivateLevelProcessing);
    EXPECT_FALSE(Doc(0)->levelState.running);
    EXPECT_TRUE(Doc(1)->levelState.running);
}

TEST_F(ShellTest, RestartLevelProcessingRestartsOnlyRunningWindows) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    ASSERT_TRUE(NewWindow(0));
    Doc(1)->SetLevelProcessing(false);
    app->RestartLevelProcessing();
    EXPECT_TRUE(Doc(0)->levelState.running);
    EXPECT_FALSE(Doc(1)->levelState.running);
}

TEST_F(ShellTest, SpeedChangeRestartsRegistrationsOnce) {
    Start();
    profile.WriteInt("Settings", "CardNumber", 3);
    ASSERT_TRUE(app->InitInstance(""));
    ASSERT_EQ(Doc(0)->selection.CardNumber, 3);
    ASSERT_EQ(Doc(0)->levelState.rateCode, 1);
    std::string error;
    ASSERT_TRUE(transport.Driver().SetSpeed(3, sim::Speed::Double, error)) << error;
    engine.Poll();
    EXPECT_TRUE(Doc(0)->levelState.running);
    EXPECT_EQ(Doc(0)->levelState.rateCode, 5);
    EXPECT_EQ(engine.registeredRate(3), 5);
}

TEST_F(ShellTest, ExitStoresDenseWorkspaceAndDropsTemp) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    for (int f : {0, 1, 2, 0, 2})
        ASSERT_TRUE(NewWindow(f));
    // Leave slots 0, 2 and 5 open.
    for (int slot : {1, 3, 4})
        Frame(slot)->DestroyFrame();
    Flush();
    ASSERT_EQ(OpenWindows(), 3);
    Doc(0)->SelectFunctionByKey('L'); // leaves memory in Temp\Frame0
    ASSERT_TRUE(profile.Contains("Temp\\Frame0\\Settings\\lev8", "SWType"));

    Frame(0)->RouteCommand(cmd::kAppExit);
    Flush();
    EXPECT_EQ(OpenWindows(), 0);
    EXPECT_EQ(profile.ReadInt("Workspace", "NumOfWins", -1), 3);
    EXPECT_EQ(profile.ReadInt("Workspace\\Frame0", "SWType", -1), 0);
    EXPECT_EQ(profile.ReadInt("Workspace\\Frame1", "SWType", -1), 1);
    EXPECT_EQ(profile.ReadInt("Workspace\\Frame2", "SWType", -1), 2);
    EXPECT_FALSE(profile.Contains("Workspace\\Frame3", "SWType"));
    EXPECT_FALSE(profile.Contains("Temp\\Frame0\\Settings\\lev8", "SWType"));
    EXPECT_TRUE(profile.Contains("SystemSet", "UpdateTime"));
}

TEST_F(ShellTest, ClosingTheLastWindowStoresItAlone) {
    // A stale section beyond the stored count: the new workspace must drop it.
    profile.WriteInt("Workspace", "NumOfWins", 1);
    profile.WriteInt("Workspace\\Frame4", "SWType", 2);
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    ASSERT_TRUE(NewWindow(0));
    Frame(0)->DestroyFrame();
    Flush();
    EXPECT_EQ(profile.ReadInt("Workspace\\Frame4", "SWType", -1), 2); // not the last one yet
    Frame(1)->close();
    Flush();
    EXPECT_EQ(OpenWindows(), 0);
    EXPECT_EQ(profile.ReadInt("Workspace", "NumOfWins", -1), 1);
    EXPECT_EQ(profile.ReadInt("Workspace\\Frame0", "SWType", -1), 0);
    EXPECT_FALSE(profile.Contains("Workspace\\Frame4", "SWType"));
    EXPECT_EQ(profile.ReadInt("Settings", "LastFunct", -1), 0);
}

TEST_F(ShellTest, WorkspaceRestoreSkipsSectionsWithoutFunctionAndStopsAt40) {
    profile.WriteInt("Workspace", "NumOfWins", 60);
    for (int n = 0; n < 60; ++n)
        if (n != 3)
            profile.WriteInt("Workspace\\Frame" + std::to_string(n), "SWType", n % 3);
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    EXPECT_EQ(OpenWindows(), 40);
    // Section 3 has no function: slot 3 holds the window of section 4.
    EXPECT_EQ(Doc(3)->SWType, 4 % 3);
    EXPECT_FALSE(NewWindow(0));
    Flush();
    EXPECT_EQ(OpenWindows(), 40);
}

TEST_F(ShellTest, HugeWindowCountInTheStoreDoesNotHang) {
    profile.WriteInt("Workspace", "NumOfWins", -1);
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    EXPECT_EQ(OpenWindows(), 1);
}

// Every missing section of a huge count built and discarded a window (38 s at start-up).
TEST_F(ShellTest, MissingWorkspaceSectionsBuildNoWindow) {
    for (const int32_t count : {-1, 2147483647}) {
        profile.WriteInt("Workspace", "NumOfWins", count);
        profile.WriteInt("Workspace\\Frame7", "SWType", 2);
        Start();
        ASSERT_TRUE(app->InitInstance(""));
        int built = 0; // discarded frames are deleted later: still counted here
        for (QWidget* widget : QApplication::topLevelWidgets())
            built += qobject_cast<CMainFrame*>(widget) != nullptr;
        EXPECT_EQ(built, 2) << count;
        EXPECT_EQ(OpenWindows(), 2);
        app.reset();
        Flush();
    }
}

TEST_F(ShellTest, MainWindowIsNeverTheActivatedOne) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    ASSERT_TRUE(NewWindow(0));
    app->OnFrameActivated(Frame(0));
    EXPECT_EQ(app->MainWindow(), Frame(1));
    app->OnFrameActivated(Frame(1));
    EXPECT_EQ(app->MainWindow(), Frame(0));
    // Closing a window that is not the main one closes only it.
    Frame(1)->close();
    Flush();
    EXPECT_EQ(OpenWindows(), 1);
}

TEST_F(ShellTest, WrongExtensionIsReported) {
    Start();
    QStringList messages;
    app->messageBox = [&](const QString& text) { messages << text; };
    EXPECT_EQ(app->OpenDocumentFile("/tmp/readme.txt"), nullptr);
    EXPECT_EQ(app->OpenDocumentFile("/tmp/noextension"), nullptr);
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], "File /tmp/readme.txt has wrong file extension.");
}

TEST_F(ShellTest, CommandStatesFollowTheDocument) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    CMainFrame* frame = Frame(0);
    frame->UpdateCommandUi();
    EXPECT_TRUE(frame->Action(cmd::kFunctionMulti)->isChecked());
    EXPECT_FALSE(frame->Action(cmd::kFunctionStereo)->isChecked());
    EXPECT_TRUE(frame->Action(cmd::kActivateLevelProcessing)->isChecked());
    for (int id : {cmd::kFileOpenSetup, cmd::kFileSaveSetup, cmd::kFileSaveSetupAs,
                   cmd::kLoadWorkspace, cmd::kSaveWorkspaceAs})
        EXPECT_TRUE(frame->Action(id)->isEnabled()) << id;
    // No recent files yet: the placeholder is there but cannot be chosen.
    EXPECT_FALSE(frame->Action(cmd::kFileMruFirst)->isEnabled());
    frame->RouteCommand(cmd::kActivateLevelProcessing);
    EXPECT_FALSE(frame->Action(cmd::kActivateLevelProcessing)->isChecked());
    EXPECT_EQ(frame->findChild<QLabel*>("59143")->text(), "No Device running");
}

TEST_F(ShellTest, AlwaysOnTopIsRememberedForLaterWindows) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    Frame(0)->RouteCommand(cmd::kAlwaysOnTop);
    EXPECT_EQ(profile.ReadInt("Settings", "AllwaysOnTop", 0), 1);
    EXPECT_TRUE(Frame(0)->windowFlags() & Qt::WindowStaysOnTopHint);
    ASSERT_TRUE(NewWindow(0));
    EXPECT_TRUE(Frame(1)->alwaysOnTop());
    Frame(1)->RouteCommand(cmd::kDeactivateScreenSaver);
    EXPECT_EQ(profile.ReadInt("Settings", "DeactivateScreenSaver", 0), 1);
    EXPECT_TRUE(Frame(1)->screenSaver().IsActive());
}

TEST(GlobalSettingsTest, OutOfRangeValuesLoadAndStoreClamped) {
    MemoryProfile profile;
    struct Case {
        int32_t updateMs, normal, warning, adat;
        double expectTime;
        COLORREF expectNormal, expectWarning;
        int32_t expectAdat, expectStoredMs;
    };
    const Case cases[] = {
        {5, 0, 16777216, 7, 0.010, 10, 16777215, 1, 10},
        {250, 9, 16777215, 0, 0.100, 10, 16777215, 0, 100},
        {-1, -1, 11, 1, 0.100, 16777215, 11, 1, 100},
        {25, 56320, 255, 0, 0.025, 56320, 255, 0, 25},
    };
    for (const Case& c : cases) {
        profile.WriteInt("SystemSet", "UpdateTime", c.updateMs);
        profile.WriteInt("SystemSet", "NormalColor", c.normal);
        profile.WriteInt("SystemSet", "WarningColor", c.warning);
        profile.WriteInt("SystemSet", "ADATContinious", c.adat);
        GlobalSettings g;
        g.Load(profile);
        EXPECT_DOUBLE_EQ(g.UpdateTime, c.expectTime) << c.updateMs;
        EXPECT_EQ(g.NormalColor, c.expectNormal) << c.normal;
        EXPECT_EQ(g.WarningColor, c.expectWarning) << c.warning;
        EXPECT_EQ(g.ADATContinious, c.expectAdat);
        g.Store(profile);
        EXPECT_EQ(profile.ReadInt("SystemSet", "UpdateTime", 0), c.expectStoredMs);
        EXPECT_EQ(profile.ReadInt("SystemSet", "ADATContinious", 0), c.expectAdat);
    }
    MemoryProfile empty;
    GlobalSettings defaults;
    defaults.Load(empty);
    EXPECT_EQ(defaults.NormalColor, RGB(0, 220, 0));
    EXPECT_EQ(defaults.WarningColor, RGB(255, 0, 0));
}

} // namespace

namespace {

// Fault: under a window manager a drag of the right border widened the locked window.
TEST_F(ShellTest, TheViewLocksTheWidthAgainstAnyResize) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    CMainFrame* frame = Frame(0);
    frame->SetOuterGeometry(QRect(100, 100, 600, 500));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    const QRect outer = frame->OuterGeometry();
    ASSERT_NE(frame->FixedWidth(), 0);
    EXPECT_EQ(outer.width(), frame->FixedWidth());
    EXPECT_EQ(frame->FixedHeight(), 0);
    // The window manager is told the width as both minimum and maximum: a drag of the border
    // or a maximize can change only the height.
    EXPECT_EQ(frame->minimumWidth(), frame->width());
    EXPECT_EQ(frame->maximumWidth(), frame->width());
    EXPECT_EQ(frame->maximumHeight(), QWIDGETSIZE_MAX);
    frame->resize(frame->width() + 120, frame->height() + 40);
    EXPECT_EQ(frame->OuterGeometry(), outer.adjusted(0, 0, 0, 40));
    frame->resize(frame->width(), frame->height() - 40);
    // Both values 0: no locks and no move.
    EXPECT_EQ(frame->FitClientSize(0, 0), 0);
    EXPECT_EQ(frame->FixedWidth(), 0);
    EXPECT_EQ(frame->OuterGeometry(), outer);
}

TEST_F(ShellTest, MessageAndCaptionFollowTheFrameState) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    CMainFrame* frame = Frame(0);
    const QString caption = "Ostrel Levora - Multichannel Level Meter - Kestrel Orvo (1) Input 1+2";
    EXPECT_EQ(frame->windowTitle(), caption);
    frame->SetFileInTitle(true);
    EXPECT_EQ(frame->windowTitle(),
              QString("%1 - %2").arg(caption, QString::fromStdString(Doc(0)->Title())));
    QStatusTipEvent tip(QString("Select a new function."));
    QCoreApplication::sendEvent(frame, &tip);
    EXPECT_EQ(frame->findChild<QLabel*>("pane0")->text(), "Select a new function.");
    QStatusTipEvent none{QString()};
    QCoreApplication::sendEvent(frame, &none);
    EXPECT_EQ(frame->findChild<QLabel*>("pane0")->text(), "Press F1 for help.");
    EXPECT_EQ(frame->findChild<QLabel*>("59143")->text(), "SR 44.1kHz");
    EXPECT_EQ(frame->property("levoraMarker").toInt(), 20);
}

class NoCardShellTest : public ShellTest {
protected:
    NoCardShellTest() : ShellTest("") {}
};

TEST_F(NoCardShellTest, ChannelSetupWithoutCardsRegistersNothing) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    // Accept the dialog as it comes: nothing answers, so pair and group are -1.
    answer = [](QDialog& dialog) {
        dialog.accept();
        return int(QDialog::Accepted);
    };
    Doc(0)->OnCommand(cmd::kChannelSetup);
    EXPECT_EQ(Doc(0)->selection.accepted, 1);
    EXPECT_EQ(Doc(0)->selection.ChanNumber, -1);
    EXPECT_EQ(Doc(0)->selection.GroupNumber, -1);
    EXPECT_TRUE(Doc(0)->levelState.running);
    EXPECT_EQ(Doc(0)->levelState.rateCode, 0);
    for (int i = 0; i < LevelEngine::kSlots; ++i)
        ASSERT_FALSE(engine.SlotActive(i)) << i;
    EXPECT_EQ(profile.ReadInt("Settings", "ChanNumber", 0), -1);
    EXPECT_EQ(Frame(0)->findChild<QLabel*>("59143")->text(), "No driver answers");
}

TEST(SettingsFile, CorruptFileStartsWithDefaults) {
    QTemporaryDir dir;
    const QString path = dir.filePath("Ostrel Levora.conf");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = static_cast<char>((i * 7919) % 251);
    file.write("[SystemSet\nNormalColor=@ByteArray(\\x\nUpdateTime=fast\n");
    file.write(garbage);
    file.close();
    QSettingsProfile profile(path);
    GlobalSettings settings;
    settings.Load(profile);
    EXPECT_EQ(settings.NormalColor, GlobalSettings::kDefaultNormalColor);
    EXPECT_DOUBLE_EQ(settings.UpdateTime, 0.025);
}

} // namespace

namespace {

TEST_F(ShellTest, DefaultsAreStoredOnTheThirdTickAfterAChange) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    CVexaDoc* doc = Doc(0);
    profile.DeleteKey("Default");
    doc->UpdateView(0);
    doc->SaveTick(false);
    doc->SaveTick(false);
    EXPECT_FALSE(profile.Contains("Default\\Settings\\lev8", "SWType"));
    doc->SaveTick(false);
    EXPECT_EQ(profile.ReadInt("Default\\Settings\\lev8", "SWType", -1), 1);
    EXPECT_TRUE(profile.Contains("Default\\Settings\\lev8", "Top Level"));
    // Nothing more until the next change.
    profile.DeleteKey("Default");
    doc->SaveTick(false);
    EXPECT_FALSE(profile.Contains("Default\\Settings\\lev8", "SWType"));
}

TEST_F(ShellTest, LeavingAFunctionKeepsItsDefaultsApartFromTheNewOnes) {
    Start();
    ASSERT_TRUE(app->InitInstance(""));
    profile.DeleteKey("Default");
    Doc(0)->SelectFunctionByKey('L');
    // The old view goes without storing its values as the stereo meter's defaults.
    Flush();
    EXPECT_FALSE(profile.Contains("Default\\Settings\\lev2", "Bottom Level"));
    EXPECT_TRUE(profile.Contains("Default\\Settings\\lev8", "WinPos.left"));
    EXPECT_FALSE(profile.Contains("Default\\Settings\\lev8", "SWType")); // positions only
}

} // namespace
