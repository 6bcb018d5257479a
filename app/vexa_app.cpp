#include "app/vexa_app.h"

#include "app/command_ids.h"
#include "app/file_chooser.h"
#include "app/file_io.h"
#include "app/global_settings.h"
#include "app/main_frame.h"
#include "device/level_engine.h"
#include "dialogs/about_dialog.h"
#include "dialogs/channel_setup_dialog.h"
#include "dialogs/function_select_dialog.h"
#include "dialogs/help_window.h"
#include "dialogs/modal_run.h"
#include "dialogs/system_set.h"
#include "doc/line_archive.h"
#include "doc/vexa_doc.h"
#include "platform/profile.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <cstdio>
#include <utility>

namespace {

// A hand-edited workspace may claim any number of windows; past this many sections the
// search for valid ones stops rather than reading the settings store for ever.
constexpr uint32_t kMaxWorkspaceSections = 4096;

constexpr const char* kNotASetupFile = "This is not a valid Levora setup file";

// Systems of the Windows 95 family cannot run the program. This build runs on Linux only,
// which never is one; the check stays where start-up expects it.
constexpr bool IsWindows95Family() {
    return false;
}

// Through RunModal, so that a termination signal can end the box.
void ShowWarning(const QString& text) {
    QMessageBox box(QMessageBox::Warning, "Ostrel Levora", text, QMessageBox::Ok);
    RunModal(box);
}

std::string WorkspaceSection(uint32_t n) {
    return "Workspace\\Frame" + std::to_string(n);
}

} // namespace

CVexaApp::CVexaApp(Profile& profile, LevelEngine& engine, const ControlDevice& device)
    : profile_(profile), engine_(engine), device_(device), recentFiles_(profile) {
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

bool CVexaApp::OpenWindow(const std::string* section, LineReader* archive, const QString& path) {
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
        ok = document->ReadSetupHeader(*archive, path);
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
        SyncSettings();
        QCoreApplication::exit(0);
    }
}

bool CVexaApp::SyncSettings() {
    if (profile_.Sync())
        return true;
    const QString text = "Levora could not save its settings (the disk may be full); the "
                         "settings saved before are kept.";
    std::fprintf(stderr, "levora: %s\n", text.toLocal8Bit().constData());
    // After a termination signal nobody may be there to answer a box.
    if (!exitRequested_)
        ShowMessage(text);
    return false;
}

void CVexaApp::StoreGlobalSettings() {
    Globals().Store(profile_);
}

void CVexaApp::FunctionSelectOrNew(CMainFrame* from) {
    CMainFrame* active = from ? from : qobject_cast<CMainFrame*>(QApplication::activeWindow());
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
        // Checked before a window is built for it: a huge count names mostly missing ones.
        if (profile_.ReadInt(section, "SWType", -1) >= 0)
            OpenWindow(&section, nullptr);
    }
}

CVexaDoc* CVexaApp::OpenDocumentFile(const QString& path, CMainFrame* into) {
    const int dot = path.lastIndexOf('.');
    const QString extension = dot < 0 ? QString() : path.mid(dot).left(4);
    if (extension == ".lvw") {
        if (LoadWorkspaceFile(path) <= 0)
            return nullptr;
        recentFiles_.Add(path);
        return slots_[0].document ? slots_[0].document : FirstDocument();
    }
    if (extension == ".lvr")
        return OpenSetupFile(path, into);
    ShowMessage(QString("File %1 has wrong file extension.").arg(path));
    return nullptr;
}

CVexaDoc* CVexaApp::FirstDocument() const {
    for (const WindowSlot& slot : slots_)
        if (slot.document)
            return slot.document;
    return nullptr;
}

int CVexaApp::ForegroundSlot() const {
    return FrameSlot(qobject_cast<const CMainFrame*>(QApplication::activeWindow()));
}

int CVexaApp::FrameSlot(const CMainFrame* frame) const {
    int found = -1;
    for (int i = 0; i < kMaxWindows; ++i)
        if (frame && slots_[i].frame == frame)
            found = i;
    return found;
}

CVexaDoc* CVexaApp::OpenSetupFile(const QString& path, CMainFrame* into) {
    std::string bytes;
    QString error;
    if (!file_io::Read(path, bytes, error)) {
        ShowMessage(error);
        return nullptr;
    }
    LineReader archive(std::move(bytes));
    // Into the window in which the user gave the command.
    if (const int slot = into ? FrameSlot(into) : ForegroundSlot(); slot >= 0) {
        CVexaDoc* document = slots_[slot].document;
        if (document->ReadSetupHeader(archive, path))
            recentFiles_.Add(path);
        else
            ShowMessage(kNotASetupFile);
        return document;
    }
    const QString canonical = QFileInfo(path).absoluteFilePath();
    for (const WindowSlot& slot : slots_) {
        if (slot.document && QFileInfo(slot.document->PathName()).absoluteFilePath() == canonical) {
            slot.frame->raise();
            slot.frame->activateWindow();
            return slot.document;
        }
    }
    const int free = FreeSlot();
    if (free < 0)
        return nullptr;
    CMainFrame* frame = CreateFrame();
    CVexaDoc* document = frame->GetDocument();
    if (!document->ReadSetupHeader(archive, path)) {
        ShowMessage(kNotASetupFile);
        int function = exitRequested_ ? -1 : RunFunctionSelect(0);
        // An exit asked for meanwhile ended the dialogs: the window would only be stored.
        if (exitRequested_) {
            DiscardFrame(frame);
            return nullptr;
        }
        if (function < 0)
            function = profile_.ReadInt("Settings", "LastFunct", 1);
        document->SetFunction(std::max(function, 0), nullptr);
    } else {
        recentFiles_.Add(path);
    }
    slots_[free] = {1, document, frame};
    frame->show();
    frame->raise();
    frame->activateWindow();
    return document;
}

int CVexaApp::FreeSlot() const {
    for (int i = 0; i < kMaxWindows; ++i)
        if (!slots_[i].used)
            return i;
    return -1;
}

int CVexaApp::LoadWorkspaceFile(const QString& path) {
    std::string bytes;
    QString error;
    if (!file_io::Read(path, bytes, error)) {
        ShowMessage(error);
        return -1;
    }
    LineReader archive(std::move(bytes));
    std::string discard;
    int count = 0;
    // The first block that does not read ends the file: the windows after it close rather
    // than take blocks from further on.
    bool ended = false;
    for (int i = 0; i < kMaxWindows; ++i) {
        CMainFrame* frame = slots_[i].frame;
        if (!frame || !slots_[i].document)
            continue;
        frame->raise();
        frame->activateWindow();
        if (!ended && slots_[i].document->ReadSetupHeader(archive, path)) {
            archive.ReadLine(discard);
            ++count;
        } else {
            ended = true;
            frame->DestroyFrame();
        }
    }
    while (!ended && FrameCount() < kMaxWindows && OpenWindow(nullptr, &archive, path)) {
        archive.ReadLine(discard);
        ++count;
    }
    return count;
}

bool CVexaApp::WriteFile(const QString& path, const std::string& bytes) {
    QString error;
    if (!file_io::Write(path, bytes, error)) {
        ShowMessage(error);
        return false;
    }
    recentFiles_.Add(path);
    return true;
}

bool CVexaApp::SaveWorkspaceFile(QWidget* parent) {
    const QString path = ChooseFile(
        {true, "lvw", "*.lvw", {"Levora Workspace Files (*.lvw)", "All Files (*)"}}, parent);
    if (path.isEmpty())
        return false;
    LineWriter archive;
    for (const WindowSlot& slot : slots_)
        if (slot.document)
            slot.document->StoreSetupBlock(archive, path);
    return WriteFile(path, archive.Bytes());
}

void CVexaApp::LoadWorkspaceCommand(QWidget* parent) {
    const QString path = ChooseFile(
        {false,
         "lvw",
         "*.lvw",
         {"Levora Workspace Files (*.lvw)", "Levora Setup Files (*.lvr)", "All Files (*)"}},
        parent);
    if (!path.isEmpty() && LoadWorkspaceFile(path) > 0)
        recentFiles_.Add(path);
}

void CVexaApp::OpenSetupCommand(CMainFrame* frame) {
    // The dialog runs its own event loop: the window may close meanwhile.
    const QPointer<CMainFrame> into(frame);
    const QString path =
        ChooseFile({false,
                    "lvr",
                    "",
                    {"Levora Setup (*.lvr)", "Levora Workspace Files (*.lvw)", "All Files (*)"}},
                   frame);
    if (!path.isEmpty() && (into || !frame))
        OpenDocumentFile(path, into);
}

void CVexaApp::OpenRecentFile(int index, CMainFrame* frame) {
    const QStringList& files = recentFiles_.Files();
    if (index < 0 || index >= files.size())
        return;
    const QString path = files[index];
    if (!QFileInfo(path).isReadable()) {
        ShowMessage(
            QString("File %1 cannot be read: it no longer exists or may not be read.").arg(path));
        recentFiles_.Remove(path);
        return;
    }
    OpenDocumentFile(path, frame);
}

bool CVexaApp::SaveDocument(CVexaDoc& document, bool askForName, QWidget* parent) {
    QString path = document.PathName();
    // Only a setup file is saved in place: a window read from a workspace file must not
    // overwrite the whole workspace with its one block.
    if (askForName || !HasSetupExtension(path)) {
        const QString initial =
            HasSetupExtension(path) ? path : QString::fromStdString(document.Title());
        path = ChooseFile({true, "lvr", initial, {"Levora Setup (*.lvr)"}}, parent);
        if (path.isEmpty())
            return false;
    }
    LineWriter archive;
    document.StoreSetupBlock(archive, path);
    return WriteFile(path, archive.Bytes());
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

void CVexaApp::RequestExit() {
    if (std::exchange(exitRequested_, true))
        return;
    // The windows go only once the dialogs that run in them have returned.
    EndModalsThen([app = QPointer<CVexaApp>(this)] {
        if (!app)
            return;
        if (app->mainWindow_)
            app->mainWindow_->RouteCommand(cmd::kAppExit);
        else
            app->OnCommand(cmd::kAppExit);
        if (app->FrameCount() == 0)
            QCoreApplication::exit(0);
    });
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
        ShowWarning(text);
}

bool CVexaApp::OnFrameCommand(int id, CMainFrame* frame) {
    // File dialogs belong to the window of the command.
    QWidget* parent = frame ? frame : mainWindow_;
    switch (id) {
    case cmd::kAppAbout:
        RunAboutDialog();
        return true;
    case cmd::kFileNewWindow:
        OpenWindow(nullptr, nullptr);
        return true;
    case cmd::kFunctionSelect:
        FunctionSelectOrNew(frame);
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
    case cmd::kFileOpenSetup:
        OpenSetupCommand(frame);
        return true;
    case cmd::kLoadWorkspace:
        LoadWorkspaceCommand(parent);
        return true;
    case cmd::kSaveWorkspaceAs:
        SaveWorkspaceFile(parent);
        return true;
    default:
        if (id >= cmd::kFileMruFirst && id <= cmd::kFileMruLast) {
            OpenRecentFile(id - cmd::kFileMruFirst, frame);
            return true;
        }
        return false;
    }
}

bool CVexaApp::OnUpdateCommand(int id, CommandState& state) {
    if (id >= cmd::kFileMruFirst && id <= cmd::kFileMruLast) {
        state.enabled = id - cmd::kFileMruFirst < recentFiles_.Files().size();
        return true;
    }
    switch (id) {
    case cmd::kFileOpenSetup:
    case cmd::kLoadWorkspace:
    case cmd::kSaveWorkspaceAs:
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
