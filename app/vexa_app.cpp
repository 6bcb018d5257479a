#include "app/vexa_app.h"

#include "app/command_ids.h"
#include "app/global_settings.h"
#include "app/main_frame.h"
#include "device/level_engine.h"
#include "dialogs/about_dialog.h"
#include "dialogs/channel_setup_dialog.h"
#include "dialogs/function_select_dialog.h"
#include "dialogs/help_window.h"
#include "dialogs/system_set.h"
#include "doc/vexa_doc.h"
#include "platform/profile.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>

namespace {

// A hand-edited workspace may claim any number of windows; past this many sections the
// search for valid ones stops rather than reading the settings store for ever.
constexpr uint32_t kMaxWorkspaceSections = 4096;

// Systems of the Windows 95 family cannot run the program. This build runs on Linux only,
// which never is one; the check stays where start-up expects it.
constexpr bool IsWindows95Family() {
    return false;
}

std::string WorkspaceSection(uint32_t n) {
    return "Workspace\\Frame" + std::to_string(n);
}

} // namespace

CVexaApp::CVexaApp(Profile& profile, LevelEngine& engine, const ControlDevice& device)
    : profile_(profile), engine_(engine), device_(device) {
    engine_.SetRestartLevelProcessing([this] { RestartLevelProcessing(); });
}

CVexaApp::~CVexaApp() {
    engine_.SetRestartLevelProcessing(nullptr);
    CloseAllDocuments();
}

bool CVexaApp::InitInstance(const QString& file) {
    if (IsWindows95Family()) {
        QMessageBox::warning(nullptr, QString(), "Programm runs not under WIN95 or WIN98.");
        return false;
    }
    Globals().Load(profile_);
    if (file.isEmpty()) {
        FunctionSelectOrNew();
        if (!mainWindow_)
            return false;
    } else if (!OpenDocumentFile(file)) {
        return false;
    } else {
        return true;
    }
    RestoreWorkspace();
    return true;
}

CMainFrame* CVexaApp::CreateFrame() {
    auto* frame = new CMainFrame(*this);
    if (!mainWindow_)
        mainWindow_ = frame;
    return frame;
}

void CVexaApp::DiscardFrame(CMainFrame* frame) {
    frame->DestroyFrame();
}

bool CVexaApp::OpenWindow(const std::string* section, LineReader* archive) {
    auto freeSlot = [this] {
        for (int i = 0; i < kMaxWindows; ++i)
            if (!slots_[i].used)
                return i;
        return -1;
    };
    if (freeSlot() < 0)
        return false;
    CMainFrame* frame = CreateFrame();
    CVexaDoc* document = frame->GetDocument();
    bool ok = false;
    if (section) {
        ok = document->OpenFromSection(*section, -1);
    } else if (archive) {
        ok = false; // reading a window from a setup file is not available yet
    } else {
        document->newWindowRequest = 1;
        ok = document->OnNewDocument();
    }
    // A modal dialog may have let another window take the last free slot meanwhile.
    const int slot = freeSlot();
    if (!ok || slot < 0) {
        DiscardFrame(frame);
        return false;
    }
    frame->show();
    frame->raise();
    frame->activateWindow();
    slots_[slot] = {1, document, frame};
    return true;
}

int CVexaApp::FindWindowSlot(const CVexaDoc* document) const {
    int found = -1;
    for (int i = 0; i < kMaxWindows; ++i)
        if (slots_[i].document == document && document)
            found = i;
    return found;
}

void CVexaApp::SetLevelProcessingAll(bool on) {
    for (WindowSlot& slot : slots_)
        if (slot.document)
            slot.document->SetLevelProcessing(on);
}

void CVexaApp::RestartLevelProcessing() {
    std::array<int, kMaxWindows> stopped{};
    for (int i = 0; i < kMaxWindows; ++i)
        if (slots_[i].document)
            stopped[i] = slots_[i].document->SetLevelProcessing(false);
    for (int i = 0; i < kMaxWindows; ++i)
        if (slots_[i].document && stopped[i] != 0)
            slots_[i].document->SetLevelProcessing(true);
}

void CVexaApp::OnFrameActivated(CMainFrame* frame) {
    for (const WindowSlot& slot : slots_)
        if (slot.frame && slot.frame != frame)
            mainWindow_ = slot.frame;
}

int CVexaApp::FrameCount() const {
    int count = 0;
    for (const WindowSlot& slot : slots_)
        if (slot.frame)
            ++count;
    return count;
}

void CVexaApp::OnFrameDestroyed(CMainFrame* frame) {
    int index = -1;
    for (int i = 0; i < kMaxWindows; ++i)
        if (slots_[i].frame == frame)
            index = i;
    if (index < 0)
        return;
    if (FrameCount() == 1 && !workspaceStored_) {
        profile_.DeleteKey("Temp");
        profile_.DeleteKey("Workspace");
        slots_[index].document->StoreWindowState(WorkspaceSection(0), false);
        profile_.WriteInt("Workspace", "NumOfWins", 1);
        StoreGlobalSettings();
        workspaceStored_ = true;
    }
    slots_[index] = {};
}

void CVexaApp::OnFrameGone(CMainFrame* frame) {
    if (mainWindow_ == frame) {
        mainWindow_ = nullptr;
        for (const WindowSlot& slot : slots_)
            if (slot.frame)
                mainWindow_ = slot.frame;
    }
    if (FrameCount() == 0) {
        profile_.Sync();
        QCoreApplication::exit(0);
    }
}

void CVexaApp::StoreGlobalSettings() {
    Globals().Store(profile_);
}

void CVexaApp::FunctionSelectOrNew() {
    CMainFrame* active = qobject_cast<CMainFrame*>(QApplication::activeWindow());
    if (!active || FindWindowSlot(active->GetDocument()) < 0)
        active = FrameCount() > 0 ? mainWindow_ : nullptr;
    if (active && active->GetDocument()) {
        active->GetDocument()->OnNewDocument();
        return;
    }
    CMainFrame* frame = CreateFrame();
    frame->GetDocument()->OnNewDocument();
    frame->show();
    frame->activateWindow();
    slots_[0] = {1, frame->GetDocument(), frame};
}

void CVexaApp::RestoreWorkspace() {
    const uint32_t count =
        std::min(profile_.ReadUInt("Workspace", "NumOfWins", 0), kMaxWorkspaceSections);
    for (uint32_t n = 1; n < count && FrameCount() < kMaxWindows; ++n) {
        const std::string section = WorkspaceSection(n);
        OpenWindow(&section, nullptr);
    }
}

CVexaDoc* CVexaApp::OpenDocumentFile(const QString& path) {
    const int dot = path.lastIndexOf('.');
    const QString extension = dot < 0 ? QString() : path.mid(dot).left(4);
    if (extension == ".lvw" || extension == ".lvr") {
        std::fprintf(stderr, "levora: opening setup and workspace files is not available yet: %s\n",
                     qPrintable(path));
        return nullptr;
    }
    ShowMessage(QString("File %1 has wrong file extension.").arg(path));
    return nullptr;
}

void CVexaApp::StoreRegistryWorkspace() {
    profile_.DeleteKey("Temp");
    profile_.DeleteKey("Workspace");
    workspaceStored_ = true;
    int n = 0;
    for (const WindowSlot& slot : slots_)
        if (slot.document)
            slot.document->StoreWindowState(WorkspaceSection(n++), false);
    profile_.WriteInt("Workspace", "NumOfWins", n);
    StoreGlobalSettings();
    if (mainWindow_)
        mainWindow_->close();
    else
        CloseAllDocuments();
}

void CVexaApp::CloseAllDocuments() {
    for (WindowSlot& slot : slots_)
        if (CMainFrame* frame = slot.frame)
            frame->DestroyFrame();
}

void CVexaApp::ShowMessage(const QString& text) {
    if (messageBox)
        messageBox(text);
    else
        QMessageBox::warning(nullptr, "Ostrel Levora", text);
}

bool CVexaApp::OnCommand(int id) {
    switch (id) {
    case cmd::kAppAbout:
        RunAboutDialog();
        return true;
    case cmd::kFileNewWindow:
        OpenWindow(nullptr, nullptr);
        return true;
    case cmd::kFunctionSelect:
        FunctionSelectOrNew();
        return true;
    case cmd::kAppExit:
        StoreRegistryWorkspace();
        return true;
    case cmd::kColorSettings:
        RunColorSettings();
        return true;
    case cmd::kHelpSearch:
        ShowHelpTopic(help::kContents);
        return true;
    default:
        return false;
    }
}

bool CVexaApp::OnUpdateCommand(int id, CommandState&) {
    switch (id) {
    case cmd::kAppAbout:
    case cmd::kFileNewWindow:
    case cmd::kFunctionSelect:
    case cmd::kAppExit:
    case cmd::kColorSettings:
    case cmd::kHelpSearch:
        return true;
    default:
        return false;
    }
}
