#pragma once

#include "app/command_target.h"
#include "device/channel_selection.h"
#include "doc/setup_block.h"

#include <QObject>
#include <QRect>
#include <QStringList>
#include <optional>
#include <string>

class CMainFrame;
class CVexaApp;
class CVexaSetView;
class CVexaView;
class LineReader;
class LineWriter;
class QWidget;

// The state of one meter window: its function, card, bus and channels, the positions of the
// frame and the setup window, the bars, and whether level processing runs. It owns the
// switch from one metering function to another.
class CVexaDoc : public QObject, public CommandTarget {
    Q_OBJECT

public:
    CVexaDoc(CVexaApp& app, CMainFrame& frame);
    ~CVexaDoc() override;

    // Set-up at window creation: the first window restores "Workspace\Frame0", a new window
    // asks for its function. False when the user cancels.
    bool OnNewDocument();
    bool OpenFromSection(const std::string& section, int32_t defaultFunction);
    void SetFunction(int32_t index, const std::string* section);
    void SelectFunctionByKey(int key);
    // 0 nothing changed, 1 started, 2 stopped.
    int SetLevelProcessing(bool on);
    void UpdateView(int flag);
    void SaveTick(bool immediate);
    void StoreWindowState(const std::string& section, bool positionsOnly);
    // Applies one setup block of a file to this window. False, with nothing changed, when
    // the block is not a setup block.
    bool ReadSetupHeader(LineReader& archive, const QString& path);
    // Writes this window as one setup block; a ".lvr" path becomes the window's file.
    void StoreSetupBlock(LineWriter& archive, const QString& path);
    const QString& PathName() const { return pathName_; }

    // Lets the document's other views (an open setup window) show its current state.
    void UpdateAllViews(QWidget* sender);

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    // The window's setup view, when open; it clears itself here when it closes.
    CVexaSetView* setupView = nullptr;

    CMainFrame* GetFrame() const { return &frame_; }
    CVexaApp& App() const { return app_; }
    CVexaView* MeterView() const { return meterView_; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title);

    // The status-bar text for the rate pane, one of RatePaneTexts.
    QString RatePaneText() const;
    static QStringList RatePaneTexts();
    // Told by the meter view: its card stopped answering, or answers again.
    void OnCardAnswering(bool answering);

    // Level processing. Running and stopped are told apart from the rate code, so that a
    // window whose card did not answer at its registration still counts as running.
    struct LevelState {
        bool running = false;
        int32_t rateCode = 0;     // of the latest registration; 0 when the card did not answer
        bool cardAnswers = false; // while running: the card answers now
    };

    WinRect SetWinPos{200, 300, 400, 400};
    WinRect WinPos{200, 300, 800, 600};
    int32_t ToolBar = 1;
    int32_t StatusBar = 1;
    LevelState levelState;
    ChannelSelection selection;
    int32_t SWType = -1;
    int32_t saveCountdown = 0;
    int32_t newWindowRequest = 0;

    // The view the document starts with, replaced by the first SetFunction.
    void AttachInitialView(CVexaView* view);

private:
    SetupHeader CurrentHeader() const;
    // WinPos from the frame's normal (not minimized or maximized) placement.
    void RefreshWinPos();
    bool ReadWindowPosition(const std::string& section);
    void ReadChannelSelection(const std::string& section);
    void WriteChannelSelection(const std::string& section);
    void ReadBars(const std::string& section);
    void StoreDefaults(bool positionsOnly);
    void RegisterMeterView();
    void ToggleLevelProcessing();
    // Caption, rate pane and the view's not-live message from the current state.
    void ShowLevelState();
    // Why a running window gets no levels: no card, or no driver at all.
    QString NoCardText() const;
    void RunChannelSetupCommand();
    void ToggleBar(int32_t& bar);
    void ExchangeView(CVexaView* newView);

    CVexaApp& app_;
    CMainFrame& frame_;
    CVexaView* meterView_ = nullptr;
    std::string title_;
    QString pathName_;
    bool readingFile_ = false;
};

// Whether the path ends in the setup file extension (".lvr", four characters from the last
// dot compared).
bool HasSetupExtension(const QString& path);

// "Default\" + the function's registry key, and "Temp\Frame%i\" + it.
std::string DefaultSection(int32_t function);
std::string TempSection(int slot, int32_t function);
