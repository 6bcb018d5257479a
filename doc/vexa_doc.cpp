#include "doc/vexa_doc.h"

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/vexa_app.h"
#include "device/card_probe.h"
#include "device/level_engine.h"
#include "dialogs/channel_setup_dialog.h"
#include "dialogs/function_select_dialog.h"
#include "doc/line_archive.h"
#include "doc/meter_function.h"
#include "doc/window_caption.h"
#include "meters/meter_views.h"
#include "meters/vexa_view.h"
#include "platform/profile.h"
#include "setup/vexa_set_view.h"

#include <QFileInfo>
#include <QWidget>
#include <algorithm>
#include <utility>

namespace {

int newDocumentCounter = 0;

constexpr const char* kSettings = "Settings";
constexpr const char* kRateNames[] = {"32kHz",   "44.1kHz", "48kHz",    "64kHz",
                                      "88.2kHz", "96kHz",   "176.4kHz", "192kHz"};

std::string FunctionKey(int32_t function) {
    return MeterFunctions()[function].registryKey;
}

int ChannelCount(int32_t function) {
    return function >= 0 && function < kFunctionCount ? MeterFunctions()[function].channelCount : 0;
}

} // namespace

std::string DefaultSection(int32_t function) {
    return "Default\\" + FunctionKey(function);
}

std::string TempSection(int slot, int32_t function) {
    return "Temp\\Frame" + std::to_string(slot) + "\\" + FunctionKey(function);
}

CVexaDoc::CVexaDoc(CVexaApp& app, CMainFrame& frame) : app_(app), frame_(frame) {
    ReadChannelSelection(kSettings);
}

CVexaDoc::~CVexaDoc() {
    if (SWType >= 0) {
        app_.profile().WriteInt(kSettings, "LastFunct", SWType);
        WriteChannelSelection(kSettings);
        app_.engine().UnregisterView(meterView_);
        int32_t& count = MeterFunctions()[SWType].openCount;
        count = std::max(count - 1, 0);
    } else if (meterView_) {
        app_.engine().UnregisterView(meterView_);
    }
    // The view is deleted later: an event still queued for it must not reach this document.
    if (meterView_)
        meterView_->AttachDocument(nullptr);
}

void CVexaDoc::AttachInitialView(CVexaView* view) {
    meterView_ = view;
    view->AttachDocument(this);
}

void CVexaDoc::SetTitle(const std::string& title) {
    title_ = title;
    frame_.UpdateCaption();
}

bool CVexaDoc::OnNewDocument() {
    if (SWType >= 0) {
        frame_.SetFileInTitle(false);
        SetTitle(title_);
        int chosen = RunFunctionSelect(SWType);
        if (chosen < 0)
            return false;
        SetFunction(chosen, nullptr);
    } else if (newWindowRequest) {
        int chosen = RunFunctionSelect(0);
        if (chosen < 0)
            return false;
        SetFunction(std::max(chosen, 0), nullptr);
    } else {
        const std::string section = "Workspace\\Frame0";
        SetFunction(app_.profile().ReadInt(section, "SWType", 1), &section);
    }
    return true;
}

bool CVexaDoc::OpenFromSection(const std::string& section, int32_t defaultFunction) {
    int32_t function = app_.profile().ReadInt(section, "SWType", defaultFunction);
    if (function < 0)
        return false;
    SetFunction(function, &section);
    return true;
}

void CVexaDoc::SetFunction(int32_t index, const std::string* section) {
    Profile& profile = app_.profile();
    if (index >= kFunctionCount)
        index = kFunctionCount - 1;
    SetTitle("new" + std::to_string(++newDocumentCounter));

    enum class Placement { None, Move, Resize } placement = Placement::None;
    if (index == SWType || index < 0) {
        app_.engine().UnregisterView(meterView_);
        if (section) {
            placement = Placement::Move;
            ReadWindowPosition(*section);
            ReadChannelSelection(*section);
            meterView_->LoadSettings(*section);
            ReadBars(*section);
        }
        frame_.SetFileInTitle(false);
        SetTitle(title_);
    } else {
        // Leaving a function closes the setup window; the old view stays until the new one
        // has taken its place.
        if (QWidget* setup = std::exchange(setupView, nullptr))
            setup->close();
        if (SWType >= 0) {
            frame_.SetFileInTitle(false);
            int slot = app_.FindWindowSlot(this);
            StoreWindowState(TempSection(slot, SWType), false);
            StoreWindowState(DefaultSection(SWType), true);
            int32_t& count = MeterFunctions()[SWType].openCount;
            count = std::max(count - 1, 0);
        }
        app_.engine().UnregisterView(meterView_);
        placement = Placement::Move;

        std::string restore;
        auto defaultWithSizeRule = [&] {
            restore = DefaultSection(index);
            if (MeterFunctions()[index].openCount > 0)
                placement = Placement::Resize;
        };
        if (section) {
            restore = *section;
            ReadChannelSelection(restore);
        } else if (int slot = app_.FindWindowSlot(this); slot < 0) {
            defaultWithSizeRule();
        } else {
            restore = TempSection(slot, index);
            if (profile.ReadInt(restore, "SWType", -1) != index)
                defaultWithSizeRule();
        }

        if (!ReadWindowPosition(restore))
            WinPos.bottom = std::max(WinPos.bottom, WinPos.top + MeterFunctions()[index].minHeight);
        app_.engine().ProbeSelectionCard(selection);

        CVexaView* view = CreateMeterView(index, app_.profile());
        view->SetChannelSelection(ChannelCount(index), selection);
        view->LoadSettings(restore);

        SWType = index;
        frame_.SetCaptionText(QString::fromStdString(WindowCaption(SWType, selection)));
        ReadBars(restore);
        ExchangeView(view);

        SetWinPos.left = profile.ReadInt(restore, "SetWinPos.left", SetWinPos.left);
        SetWinPos.top = profile.ReadInt(restore, "SetWinPos.top", SetWinPos.top);
        SetWinPos.right = profile.ReadInt(restore, "SetWinPos.right", SetWinPos.right);
        SetWinPos.bottom = profile.ReadInt(restore, "SetWinPos.bottom", SetWinPos.bottom);
        setupView = nullptr;
        MeterFunctions()[index].openCount += 1;
    }

    const QRect frameRect(WinPos.left, WinPos.top, WinPos.right - WinPos.left,
                          WinPos.bottom - WinPos.top);
    if (placement == Placement::Move)
        frame_.SetOuterGeometry(frameRect);
    else if (placement == Placement::Resize)
        frame_.SetOuterSize(frameRect.size());
    frame_.ShowNormal();

    RegisterMeterView();
    UpdateView(1);
    meterView_->repaint();
    frame_.KeepOnScreen();
}

void CVexaDoc::ExchangeView(CVexaView* newView) {
    CVexaView* oldView = meterView_;
    frame_.ReplaceView(newView);
    newView->AttachDocument(this);
    meterView_ = newView;
    if (oldView) {
        // Detached first: the old view's destruction must not store its values as the new
        // function's defaults.
        oldView->AttachDocument(nullptr);
        oldView->Destroy();
    }
}

void CVexaDoc::RegisterMeterView() {
    const int32_t rate = app_.engine().RegisterView(SWType, selection, meterView_);
    levelState = {.running = true, .rateCode = rate, .cardAnswers = rate != kRateNoCard};
}

bool CVexaDoc::ReadWindowPosition(const std::string& section) {
    const Profile& profile = app_.profile();
    WinRect r{profile.ReadInt(section, "WinPos.left", 0), profile.ReadInt(section, "WinPos.top", 0),
              profile.ReadInt(section, "WinPos.right", 0),
              profile.ReadInt(section, "WinPos.bottom", 0)};
    // Compared in 64 bits: stored values are arbitrary and must not overflow the test.
    if (int64_t{r.right} - r.left < 1 || int64_t{r.bottom} - r.top < 1)
        return false;
    WinPos = r;
    return true;
}

void CVexaDoc::ReadChannelSelection(const std::string& section) {
    const Profile& profile = app_.profile();
    selection.BusType = profile.ReadInt(section, "BusType", selection.BusType);
    selection.CardNumber = profile.ReadInt(section, "CardNumber", selection.CardNumber);
    selection.ChanNumber = profile.ReadInt(section, "ChanNumber", selection.ChanNumber);
    selection.GroupNumber = profile.ReadInt(section, "GroupNumber", selection.GroupNumber);
}

void CVexaDoc::WriteChannelSelection(const std::string& section) {
    Profile& profile = app_.profile();
    profile.WriteInt(section, "BusType", selection.BusType);
    profile.WriteInt(section, "CardNumber", selection.CardNumber);
    profile.WriteInt(section, "ChanNumber", selection.ChanNumber);
    profile.WriteInt(section, "GroupNumber", selection.GroupNumber);
}

void CVexaDoc::ReadBars(const std::string& section) {
    // While a setup file is applied, its bars stand wherever the section has none.
    ToolBar = app_.profile().ReadInt(section, "ToolBar", readingFile_ ? ToolBar : 1);
    StatusBar = app_.profile().ReadInt(section, "StatusBar", readingFile_ ? StatusBar : 1);
    frame_.ShowBars(ToolBar != 0, StatusBar != 0);
}

void CVexaDoc::StoreWindowState(const std::string& section, bool positionsOnly) {
    Profile& profile = app_.profile();
    RefreshWinPos();
    profile.WriteInt(section, "WinPos.left", WinPos.left);
    profile.WriteInt(section, "WinPos.top", WinPos.top);
    profile.WriteInt(section, "WinPos.right", WinPos.right);
    profile.WriteInt(section, "WinPos.bottom", WinPos.bottom);
    profile.WriteInt(section, "SetWinPos.left", SetWinPos.left);
    profile.WriteInt(section, "SetWinPos.top", SetWinPos.top);
    profile.WriteInt(section, "SetWinPos.right", SetWinPos.right);
    profile.WriteInt(section, "SetWinPos.bottom", SetWinPos.bottom);
    if (positionsOnly)
        return;
    profile.WriteInt(section, "ToolBar", ToolBar);
    profile.WriteInt(section, "StatusBar", StatusBar);
    WriteChannelSelection(section);
    profile.WriteInt(section, "SWType", SWType);
    if (meterView_)
        meterView_->SaveSettings(section);
}

SetupHeader CVexaDoc::CurrentHeader() const {
    SetupHeader header;
    header.CardNumber = selection.CardNumber;
    header.BusType = selection.BusType;
    header.ChanNumber = selection.ChanNumber;
    header.GroupNumber = selection.GroupNumber;
    header.WinPos = WinPos;
    header.SetWinPos = SetWinPos;
    header.ToolBar = ToolBar;
    header.StatusBar = StatusBar;
    return header;
}

void CVexaDoc::RefreshWinPos() {
    const QRect normal = frame_.NormalOuterGeometry();
    WinPos = {normal.left(), normal.top(), normal.left() + normal.width(),
              normal.top() + normal.height()};
}

bool CVexaDoc::ReadSetupHeader(LineReader& archive, const QString& path) {
    SetupHeader header = CurrentHeader();
    const int32_t function = ReadSetupHeaderLines(archive, header);
    if (function < 0)
        return false;
    selection.CardNumber = header.CardNumber;
    selection.BusType = header.BusType;
    selection.ChanNumber = header.ChanNumber;
    selection.GroupNumber = header.GroupNumber;
    SetWinPos = header.SetWinPos;
    ToolBar = header.ToolBar;
    StatusBar = header.StatusBar;

    readingFile_ = true;
    SetFunction(function, nullptr);
    readingFile_ = false;
    meterView_->Serialize(archive);

    frame_.ShowBars(ToolBar != 0, StatusBar != 0);
    const WinRect& r = header.WinPos;
    frame_.SetOuterGeometry(QRect(r.left, r.top, r.right - r.left, r.bottom - r.top));
    frame_.KeepOnScreen();
    pathName_ = path;
    frame_.SetFileInTitle(true);
    SetTitle(QFileInfo(path).fileName().toStdString());
    return true;
}

void CVexaDoc::StoreSetupBlock(LineWriter& archive, const QString& path) {
    RefreshWinPos();
    archive.Write(MeterFunctions()[std::clamp(SWType, 0, kFunctionCount - 1)].title);
    archive.Write("\n");
    archive.Write(FormatGeneralLine(CurrentHeader()));
    meterView_->Serialize(archive);
    if (HasSetupExtension(path)) {
        pathName_ = path;
        frame_.SetFileInTitle(true);
        SetTitle(QFileInfo(path).fileName().toStdString());
    }
}

bool HasSetupExtension(const QString& path) {
    const int dot = path.lastIndexOf('.');
    return dot >= 0 && path.mid(dot).left(4) == ".lvr";
}

void CVexaDoc::UpdateAllViews(QWidget* sender) {
    if (setupView && setupView != sender)
        setupView->OnUpdate();
}

void CVexaDoc::StoreDefaults(bool positionsOnly) {
    if (SWType < 0)
        return;
    StoreWindowState(DefaultSection(SWType), positionsOnly);
}

void CVexaDoc::SaveTick(bool immediate) {
    if (immediate) {
        StoreDefaults(false);
        return;
    }
    if (saveCountdown > 0 && --saveCountdown == 0)
        StoreDefaults(false);
}

void CVexaDoc::SelectFunctionByKey(int key) {
    const auto code = static_cast<unsigned char>(key);
    for (int i = 0; i < kFunctionCount; ++i) {
        if (code == static_cast<unsigned char>(MeterFunctions()[i].hotKey[0])) {
            SetFunction(i, nullptr);
            return;
        }
    }
}

int CVexaDoc::SetLevelProcessing(bool on) {
    if (on == levelState.running)
        return 0;
    if (on) {
        RegisterMeterView();
    } else {
        app_.engine().UnregisterView(meterView_);
        levelState.running = false;
    }
    UpdateView(1);
    return on ? 1 : 2;
}

void CVexaDoc::UpdateView(int flag) {
    app_.engine().ProbeSelectionCard(selection);
    if (int count = ChannelCount(SWType); count > 0 && meterView_)
        meterView_->SetChannelSelection(count, selection);
    if (meterView_)
        meterView_->OnParamsChanged(flag);
    saveCountdown = 3;
    ShowLevelState();
}

void CVexaDoc::ShowLevelState() {
    if (SWType >= 0)
        frame_.SetCaptionText(QString::fromStdString(WindowCaption(SWType, selection)));
    frame_.UpdateRatePane();
    // A stopped window keeps what it showed last: the user stopped it to read it.
    const bool silent = levelState.running && !levelState.cardAnswers;
    if (meterView_)
        meterView_->ShowNotLive(silent ? NoCardText() : QString());
}

QString CVexaDoc::NoCardText() const {
    return app_.engine().AnyCardAnswers() ? "No card answers" : "No driver answers";
}

void CVexaDoc::OnCardAnswering(bool answering) {
    if (!levelState.running)
        return;
    levelState.cardAnswers = answering;
    // Back: probed afresh, since a probe made while it was away forgot the model.
    if (answering)
        UpdateView(1);
    else
        ShowLevelState();
}

void CVexaDoc::ToggleLevelProcessing() {
    // With Ctrl every window follows the state this one toggles to.
    const bool on = !levelState.running;
    if (meterView_ && meterView_->IsCtrlHeld())
        app_.SetLevelProcessingAll(on);
    else
        SetLevelProcessing(on);
}

void CVexaDoc::RunChannelSetupCommand() {
    RunChannelSetup(app_.device(), selection);
    if (!selection.accepted)
        return;
    app_.engine().UnregisterView(meterView_);
    RegisterMeterView();
    UpdateView(1);
    WriteChannelSelection(kSettings);
}

void CVexaDoc::ToggleBar(int32_t& bar) {
    bar = bar == 0 ? 1 : 0;
    frame_.ShowBars(ToolBar != 0, StatusBar != 0);
    saveCountdown = 3;
}

bool CVexaDoc::OnCommand(int id) {
    switch (id) {
    case cmd::kFunctionStereo:
    case cmd::kFunctionMulti:
    case cmd::kFunctionGlobal:
        SetFunction(id - cmd::kFunctionStereo, nullptr);
        return true;
    case cmd::kActivateLevelProcessing:
        ToggleLevelProcessing();
        return true;
    case cmd::kChannelSetup:
        RunChannelSetupCommand();
        return true;
    case cmd::kViewToolbar:
        ToggleBar(ToolBar);
        return true;
    case cmd::kViewStatusBar:
        ToggleBar(StatusBar);
        return true;
    case cmd::kFileSaveSetup:
    case cmd::kFileSaveSetupAs:
        app_.SaveDocument(*this, id == cmd::kFileSaveSetupAs, &frame_);
        return true;
    default:
        return false;
    }
}

bool CVexaDoc::OnUpdateCommand(int id, CommandState& state) {
    switch (id) {
    case cmd::kFunctionStereo:
    case cmd::kFunctionMulti:
    case cmd::kFunctionGlobal:
        state.SetCheck(SWType == id - cmd::kFunctionStereo);
        return true;
    case cmd::kActivateLevelProcessing:
        state.SetCheck(levelState.running);
        return true;
    case cmd::kChannelSetup:
    case cmd::kFileSaveSetup:
    case cmd::kFileSaveSetupAs:
        return true;
    case cmd::kViewToolbar:
        state.SetCheck(ToolBar > 0);
        return true;
    case cmd::kViewStatusBar:
        state.SetCheck(StatusBar > 0);
        return true;
    default:
        return false;
    }
}

QStringList CVexaDoc::RatePaneTexts() {
    QStringList texts{"No Device running", "No card answers", "No driver answers"};
    for (const char* rate : kRateNames)
        texts << QString("SR %1").arg(rate);
    return texts;
}

QString CVexaDoc::RatePaneText() const {
    if (!levelState.running)
        return "No Device running";
    // A running window whose card does not answer gets no sample rate.
    if (!levelState.cardAnswers || levelState.rateCode < 0 ||
        levelState.rateCode >= static_cast<int32_t>(std::size(kRateNames)))
        return NoCardText();
    return QString("SR %1").arg(kRateNames[levelState.rateCode]);
}
