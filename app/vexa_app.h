#pragma once

#include "app/command_target.h"
#include "app/recent_files.h"
#include "device/channel_selection.h"

#include <QObject>
#include <QString>
#include <array>
#include <functional>
#include <string>

class CMainFrame;
class CVexaDoc;
class ControlDevice;
class LevelEngine;
class LineReader;
class Profile;
class QWidget;

struct WindowSlot {
    int32_t used = 0;
    CVexaDoc* document = nullptr;
    CMainFrame* frame = nullptr;
};

// The application: start-up, the table of open windows, the commands no window handles, and
// the workspace kept in the settings store from one run to the next.
class CVexaApp : public QObject, public CommandTarget {
    Q_OBJECT

public:
    static constexpr int kMaxWindows = 40;

    CVexaApp(Profile& profile, LevelEngine& engine, const ControlDevice& device);
    ~CVexaApp() override;

    Profile& profile() const { return profile_; }
    LevelEngine& engine() const { return engine_; }
    const ControlDevice& device() const { return device_; }

    // Start-up after the hand-over check: globals, the first window, the stored workspace or
    // the file. False when the program should end.
    bool InitInstance(const QString& file);

    // A new window from a settings section, the next block of a file (`path` names it), or
    // the Function Select dialog.
    bool OpenWindow(const std::string* section, LineReader* archive,
                    const QString& path = QString());
    int FindWindowSlot(const CVexaDoc* document) const;
    void SetLevelProcessingAll(bool on);
    void RestartLevelProcessing();
    void OnFrameActivated(CMainFrame* frame);
    void OnFrameDestroyed(CMainFrame* frame);
    // After a frame has gone: the program ends with its last window.
    void OnFrameGone(CMainFrame* frame);
    void StoreGlobalSettings();
    // Writes the settings store out; a failure is told to the user.
    bool SyncSettings();
    // Function Select in the window `from`; without one in the active window, else the main
    // window, else a first window.
    void FunctionSelectOrNew(CMainFrame* from = nullptr);
    void RestoreWorkspace();
    // A setup file goes into `into`, the window where the command was given; without one
    // into the active window, else a new one.
    CVexaDoc* OpenDocumentFile(const QString& path, CMainFrame* into = nullptr);
    // The windows' blocks of a workspace file: open windows are reused in slot order, those
    // without a block close, blocks left over open new windows. The count of windows read,
    // -1 when the file cannot be read.
    int LoadWorkspaceFile(const QString& path);
    bool SaveWorkspaceFile(QWidget* parent);
    // Save Setup (in place when the window has a setup file) and Save Setup As.
    bool SaveDocument(CVexaDoc& document, bool askForName, QWidget* parent);
    RecentFiles& recentFiles() { return recentFiles_; }
    // Exit: stores every window as the workspace, then closes them all.
    void StoreRegistryWorkspace();
    void CloseAllDocuments();
    // A termination signal: ends any running dialog, then exits as Exit does. Once only.
    void RequestExit();

    bool IsMainWindow(const CMainFrame* frame) const { return frame == mainWindow_; }
    CMainFrame* MainWindow() const { return mainWindow_; }
    const std::array<WindowSlot, kMaxWindows>& Slots() const { return slots_; }
    bool workspaceStored() const { return workspaceStored_; }

    bool OnCommand(int id) override { return OnFrameCommand(id, nullptr); }
    // A command that no stop of `frame`'s route handled; null when it came from no window.
    bool OnFrameCommand(int id, CMainFrame* frame);
    bool OnUpdateCommand(int id, CommandState& state) override;

    // The program's own message boxes, replaceable so that tests read them.
    std::function<void(const QString&)> messageBox;

private:
    CMainFrame* CreateFrame();
    CVexaDoc* OpenSetupFile(const QString& path, CMainFrame* into);
    CVexaDoc* FirstDocument() const;
    int ForegroundSlot() const;
    int FrameSlot(const CMainFrame* frame) const;
    int FreeSlot() const;
    void OpenSetupCommand(CMainFrame* frame);
    void LoadWorkspaceCommand(QWidget* parent);
    void OpenRecentFile(int index, CMainFrame* frame);
    // Writes a setup or workspace file; a failure is told to the user.
    bool WriteFile(const QString& path, const std::string& bytes);
    void DiscardFrame(CMainFrame* frame);
    int FrameCount() const;
    void ShowMessage(const QString& text);

    Profile& profile_;
    LevelEngine& engine_;
    const ControlDevice& device_;
    std::array<WindowSlot, kMaxWindows> slots_{};
    bool workspaceStored_ = false;
    bool exitRequested_ = false;
    CMainFrame* mainWindow_ = nullptr;
    RecentFiles recentFiles_;
};
