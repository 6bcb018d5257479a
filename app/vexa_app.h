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
    void FunctionSelectOrNew();
    void RestoreWorkspace();
    CVexaDoc* OpenDocumentFile(const QString& path);
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

    bool IsMainWindow(const CMainFrame* frame) const { return frame == mainWindow_; }
    CMainFrame* MainWindow() const { return mainWindow_; }
    const std::array<WindowSlot, kMaxWindows>& Slots() const { return slots_; }
    bool workspaceStored() const { return workspaceStored_; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    // The program's own message boxes, replaceable so that tests read them.
    std::function<void(const QString&)> messageBox;

private:
    CMainFrame* CreateFrame();
    CVexaDoc* OpenSetupFile(const QString& path);
    CVexaDoc* FirstDocument() const;
    int ForegroundSlot() const;
    int FreeSlot() const;
    void OpenSetupCommand(QWidget* parent);
    void LoadWorkspaceCommand(QWidget* parent);
    void OpenRecentFile(int index);
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
    CMainFrame* mainWindow_ = nullptr;
    RecentFiles recentFiles_;
};
