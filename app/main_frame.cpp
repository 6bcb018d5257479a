#include "app/main_frame.h"

#include "app/application_icon.h"
#include "app/command_ids.h"
#include "app/frame_bars.h"
#include "app/screen_saver_inhibitor.h"
#include "app/toolbar_icons.h"
#include "app/vexa_app.h"
#include "dialogs/modal_run.h"
#include "doc/vexa_doc.h"
#include "meters/vexa_view.h"
#include "platform/profile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLayout>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QWindow>
#include <algorithm>
#include <vector>

const QEvent::Type CMainFrame::kHandOverEvent = static_cast<QEvent::Type>(QEvent::User + 1);

namespace {

constexpr const char* kBarStateSection = "General-Summary";

// The status-line prompt and, after "\n", the tooltip of each command.
const std::map<int, const char*>& Prompts() {
    static const std::map<int, const char*> prompts{
        {cmd::kFileNewWindow, "Create a new Levora Window."},
        {cmd::kFileOpenSetup, "Open an existing setup file.\nOpen Setup File"},
        {cmd::kFileSaveSetup, "Save the active setup file.\nSave Setup File"},
        {cmd::kFileSaveSetupAs, "Save the activ setup file with a new name.\nSave Setup As"},
        {cmd::kLoadWorkspace, "Restore the workspace from file."},
        {cmd::kSaveWorkspaceAs, "Save the entire workspace to file."},
        {cmd::kFileMruFirst, "Open this setup file."},
        {cmd::kFileCloseWindow, "Close the current window.\nClose"},
        {cmd::kAppExit, "Quit the application.\nExit"},
        {cmd::kFunctionStereo, "Two channel RMS and peak level meter"},
        {cmd::kFunctionMulti, "Multi channel RMS and peak level meter"},
        {cmd::kFunctionGlobal, "Kestrel RMS and peak level meter"},
        {cmd::kActivateLevelProcessing,
         "Start/stop of the level display.\nStart/Stop Level Display"},
        {cmd::kDeactivateScreenSaver, "Deactivate the screensaver."},
        {cmd::kAlwaysOnTop, "Keep Levora always as top window.\nAlways on top"},
        {cmd::kLevelMeterSetup, "Open the setup-window of the current function.\nSettings"},
        {cmd::kChannelSetup, "Open the input device setup-window.\nRecord Device Setup"},
        {cmd::kFunctionSelect, "Select a new function.\nFunction Select"},
        {cmd::kColorSettings, "Setup system wide options."},
        {cmd::kFont, "Select the font."},
        {cmd::kViewToolbar, "Show or hide the toolbar.\nToolbar on/off"},
        {cmd::kViewStatusBar, "Show or hide the status bar.\nStatus Bar on/off"},
        {cmd::kHelpCurrentFunction,
         "Display help topics of the current function.\nHelp on current function"},
        {cmd::kHelpSearch, "List application help topics.\nHelp contents"},
        {cmd::kAppAbout, "Display program information.\nAbout"},
    };
    return prompts;
}

struct MenuItem {
    const char* text; // null: separator
    int id;
    QKeySequence shortcut = {};
};

struct MenuDef {
    const char* title;
    std::vector<MenuItem> items;
};

const std::vector<MenuDef>& Menus() {
    static const std::vector<MenuDef> menus{
        {"&File",
         {{"&New Levora Window", cmd::kFileNewWindow},
          {nullptr, 0},
          {"&Open Setup...\tCtrl+O", cmd::kFileOpenSetup, QKeySequence("Ctrl+O")},
          {"&Save Setup \tCtrl+S", cmd::kFileSaveSetup, QKeySequence("Ctrl+S")},
          {"Save Setup &As...", cmd::kFileSaveSetupAs},
          {nullptr, 0},
          {"&Load Workspace...", cmd::kLoadWorkspace},
          {"Save &Workspace As...", cmd::kSaveWorkspaceAs},
          {nullptr, 0},
          {"Last Setup", cmd::kFileMruFirst},
          {nullptr, 0},
          {"&Close Window", cmd::kFileCloseWindow},
          {"&Exit Levora", cmd::kAppExit}}},
        {"F&unction",
         {{"Stereo &Level Meter", cmd::kFunctionStereo},
          {"&Multi Channel Level Meter", cmd::kFunctionMulti},
          {"&Global Level Meter", cmd::kFunctionGlobal}}},
        {"&Options",
         {{"&Activate Level Processing", cmd::kActivateLevelProcessing},
          {nullptr, 0},
          {"&Deactivate Screensaver", cmd::kDeactivateScreenSaver},
          {"Always on &top", cmd::kAlwaysOnTop},
          {nullptr, 0},
          {"&Level Meter Setup...\tF2", cmd::kLevelMeterSetup, QKeySequence(Qt::Key_F2)},
          {"&Channel Setup...\tF3", cmd::kChannelSetup, QKeySequence(Qt::Key_F3)},
          {"&Function Select...\tF4", cmd::kFunctionSelect, QKeySequence(Qt::Key_F4)},
          {"Colo&r Settings...", cmd::kColorSettings},
          {"F&ont...", cmd::kFont}}},
        {"&View", {{"&Toolbar", cmd::kViewToolbar}, {"&Status Bar", cmd::kViewStatusBar}}},
        {"&Help",
         {{"Current &Function", cmd::kHelpCurrentFunction},
          {"&Contents", cmd::kHelpContents},
          {"&Search", cmd::kHelpSearch},
          {nullptr, 0},
          {"&About...", cmd::kAppAbout}}},
    };
    return menus;
}

constexpr int kToolBarButtons[] = {cmd::kFileOpenSetup,
                                   cmd::kFileSaveSetup,
                                   0,
                                   cmd::kActivateLevelProcessing,
                                   0,
                                   cmd::kFunctionSelect,
                                   cmd::kChannelSetup,
                                   cmd::kLevelMeterSetup,
                                   0,
                                   cmd::kAppAbout};

} // namespace

CMainFrame::CMainFrame(CVexaApp& app)
    : app_(app), screenSaver_(std::make_unique<ScreenSaverInhibitor>()) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The options are per frame, but a new frame starts with the value any frame wrote last.
    AlwaysOnTop = app_.profile().ReadInt("Settings", "AllwaysOnTop", 0);
    DeactivateScreenSaver = app_.profile().ReadInt("Settings", "DeactivateScreenSaver", 0);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setWindowFlag(Qt::WindowStaysOnTopHint, AlwaysOnTop != 0);
    setWindowIcon(ApplicationIcon());
    setProperty("levoraMarker", kFrameMarker);
    setDockOptions(QMainWindow::AnimatedDocks);

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    RestoreBarState();
    screenSaver_->SetActive(DeactivateScreenSaver != 0);

    document_ = std::make_unique<CVexaDoc>(app_, *this);
    auto* initialView = new CVexaView(app_.profile(), this);
    setCentralWidget(initialView);
    document_->AttachInitialView(initialView);

    // Tool bar buttons follow the command state while the program runs.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, [this] {
        if (isActiveWindow())
            UpdateCommandUi();
    });
    idle->start(250);
}

CMainFrame::~CMainFrame() = default;

CVexaView* CMainFrame::ActiveView() const {
    return document_ ? document_->MeterView() : nullptr;
}

QAction* CMainFrame::MakeAction(int id, const char* text) {
    auto* action = new QAction(QString::fromLatin1(text), this);
    action->setData(id);
    if (auto it = Prompts().find(id); it != Prompts().end()) {
        const QString prompt = QString::fromLatin1(it->second);
        action->setStatusTip(prompt.section('\n', 0, 0));
        if (prompt.contains('\n'))
            action->setToolTip(prompt.section('\n', 1));
    }
    if (QIcon icon = ToolbarIcon(id); !icon.isNull())
        action->setIcon(icon);
    action->setIconVisibleInMenu(false);
    connect(action, &QAction::triggered, this, [this, id] { RouteCommand(id); });
    actions_[id] = action;
    return action;
}

void CMainFrame::BuildMenus() {
    for (const MenuDef& def : Menus()) {
        QMenu* menu = menuBar()->addMenu(def.title);
        for (const MenuItem& item : def.items) {
            if (!item.text) {
                menu->addSeparator();
                continue;
            }
            QAction* action = MakeAction(item.id, item.text);
            if (!item.shortcut.isEmpty())
                action->setShortcut(item.shortcut);
            menu->addAction(action);
            if (item.id == cmd::kFileMruFirst) {
                for (int id = cmd::kFileMruFirst + 1; id <= cmd::kFileMruLast; ++id) {
                    QAction* recent = MakeAction(id, "");
                    recent->setStatusTip(action->statusTip());
                    menu->addAction(recent);
                }
                connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateRecentFileMenu);
            }
        }
        connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUi);
    }
    // An accelerator without a menu entry: the meter views print.
    QAction* print = MakeAction(cmd::kFilePrint, "Print");
    print->setShortcut(QKeySequence("Ctrl+P"));
    addAction(print);
}

void CMainFrame::BuildToolBar() {
    toolBar_ = new QToolBar("Toolbar", this);
    toolBar_->setObjectName("59392");
    toolBar_->setIconSize(QSize(16, 15));
    toolBar_->setMovable(true);
    toolBar_->setFloatable(true);
    toolBar_->setAllowedAreas(Qt::AllToolBarAreas);
    for (int id : kToolBarButtons) {
        if (id == 0)
            toolBar_->addSeparator();
        else
            toolBar_->addAction(actions_.at(id));
    }
    addToolBar(Qt::TopToolBarArea, toolBar_);
}

void CMainFrame::BuildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("59393");
    bar->setSizeGripEnabled(true);
    statusPanes_ = std::make_unique<StatusPanes>(*bar, CVexaDoc::RatePaneTexts());
}

QAction* CMainFrame::Action(int id) const {
    auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

void CMainFrame::RouteCommand(int id) {
    CommandState state;
    if (!UpdateCommand(id, state) || !state.enabled)
        return;
    CVexaView* view = ActiveView();
    if (!(view && view->OnCommand(id)) && !(document_ && document_->OnCommand(id)) &&
        !OnCommand(id))
        app_.OnFrameCommand(id, this);
    if (!destroying_)
        UpdateCommandUi();
}

bool CMainFrame::UpdateCommand(int id, CommandState& state) {
    CVexaView* view = ActiveView();
    return (view && view->OnUpdateCommand(id, state)) ||
           (document_ && document_->OnUpdateCommand(id, state)) || OnUpdateCommand(id, state) ||
           app_.OnUpdateCommand(id, state);
}

void CMainFrame::UpdateCommandUi() {
    for (auto& [id, action] : actions_) {
        CommandState state;
        const bool handled = UpdateCommand(id, state);
        action->setEnabled(handled && state.enabled);
        action->setCheckable(state.checkable);
        if (state.checkable)
            action->setChecked(state.checked);
    }
    UpdateRatePane();
}

void CMainFrame::UpdateRecentFileMenu() {
    const QStringList& files = app_.recentFiles().Files();
    for (int i = 0; i < RecentFiles::kMax; ++i) {
        QAction* action = actions_.at(cmd::kFileMruFirst + i);
        if (i < files.size())
            action->setText(QString("&%1 %2").arg(i + 1).arg(files[i]));
        else
            action->setText("Last Setup");
        // The placeholder stands alone while the list is empty.
        action->setVisible(i < files.size() || (i == 0 && files.isEmpty()));
    }
}

void CMainFrame::PopupMenu(QMenu& menu, const QPoint& globalPos) {
    const ModalScope scope(menu);
    menu.exec(globalPos);
}

bool CMainFrame::OnCommand(int id) {
    switch (id) {
    case cmd::kAlwaysOnTop:
        ToggleAlwaysOnTop();
        return true;
    case cmd::kDeactivateScreenSaver:
        ToggleScreenSaver();
        return true;
    case cmd::kFileCloseWindow:
        DestroyFrame();
        return true;
    default:
        return false;
    }
}

bool CMainFrame::OnUpdateCommand(int id, CommandState& state) {
    switch (id) {
    case cmd::kAlwaysOnTop:
        state.SetCheck(AlwaysOnTop != 0);
        return true;
    case cmd::kDeactivateScreenSaver:
        state.SetCheck(DeactivateScreenSaver != 0);
        return true;
    case cmd::kFileCloseWindow:
        return true;
    default:
        return false;
    }
}

void CMainFrame::ToggleAlwaysOnTop() {
    AlwaysOnTop = AlwaysOnTop == 0 ? 1 : 0;
    ApplyAlwaysOnTop();
    app_.profile().WriteInt("Settings", "AllwaysOnTop", AlwaysOnTop);
}

void CMainFrame::ApplyAlwaysOnTop() {
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, AlwaysOnTop != 0);
    QWindow* window = windowHandle();
    if (!window) {
        setWindowFlags(flags);
        return;
    }
    // Telling the window system is enough. QWidget::setWindowFlags would re-create the native
    // window, hide and re-show it and leave the meter drawing into a window that is gone.
    overrideWindowFlags(flags);
    window->setFlags(flags);
}

void CMainFrame::ToggleScreenSaver() {
    DeactivateScreenSaver = DeactivateScreenSaver == 0 ? 1 : 0;
    screenSaver_->SetActive(DeactivateScreenSaver != 0);
    app_.profile().WriteInt("Settings", "DeactivateScreenSaver", DeactivateScreenSaver);
}

void CMainFrame::SetFileInTitle(bool show) {
    showFileInTitle_ = show;
    UpdateCaption();
}

void CMainFrame::SetCaptionText(const QString& text) {
    captionText_ = text;
    UpdateCaption();
}

void CMainFrame::UpdateCaption() {
    QString caption = captionText_;
    if (showFileInTitle_ && document_)
        caption += " - " + QString::fromStdString(document_->Title());
    setWindowTitle(caption);
}

void CMainFrame::ShowBars(bool toolBar, bool statusBar) {
    toolBar_->setVisible(toolBar);
    this->statusBar()->setVisible(statusBar);
}

void CMainFrame::UpdateRatePane() {
    if (statusPanes_ && document_)
        statusPanes_->ShowRate(document_->RatePaneText());
}

void CMainFrame::ShowNormal() {
    if (isMinimized() || isMaximized())
        showNormal();
    else
        show();
}

int CMainFrame::NarrowestViewWidth() const {
    // Measured once, before the window is first shown: maximized, the status bar hides its
    // size grip, and the lock must not change with the window's state.
    if (narrowestBars_ == 0)
        narrowestBars_ =
            std::max(FullMenuBarWidth(*menuBar()), statusBar()->minimumSizeHint().width());
    // Less what stands beside the view in the frame: a tool bar docked left or right.
    const CVexaView* view = ActiveView();
    return narrowestBars_ - (view ? width() - view->width() : 0);
}

int CMainFrame::FitClientSize(int width, int height) {
    CVexaView* view = ActiveView();
    if (view) {
        // The view may not have been laid out since the frame was resized or the view
        // replaced: its size now would be stale.
        layout()->invalidate();
        layout()->activate();
    }
    // Never so narrow that a menu title or a status pane is hidden.
    if (width != 0)
        width = std::max(width, NarrowestViewWidth());
    QSize client(std::max(width, 10), std::max(height, 10));
    if (view)
        client = size() - view->size() + QSize(width, height);
    return placement_.Lock(width != 0 ? client.width() : 0, height != 0 ? client.height() : 0) ? 1
                                                                                               : 0;
}

void CMainFrame::KeepOnScreen() {
    placement_.KeepOnScreen();
}

void CMainFrame::ReplaceView(CVexaView* view) {
    QWidget* old = takeCentralWidget();
    if (old)
        old->hide();
    setCentralWidget(view);
    view->show();
    view->setFocus();
    view->OnActivateView();
    // The old view is the caller's to destroy; it stays a child until then.
    if (old)
        old->setParent(this);
}

bool CMainFrame::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::StatusTip: {
        const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
        statusPanes_->ShowPrompt(tip);
        return true;
    }
    case QEvent::WindowActivate:
        app_.OnFrameActivated(this);
        if (CVexaView* view = ActiveView())
            view->OnActivateView();
        UpdateCommandUi();
        break;
    default:
        if (event->type() == kHandOverEvent) {
            // The hand-over may close windows: a dialog that runs in one is ended first.
            EndModalsThen([app = QPointer<CVexaApp>(&app_), self = QPointer<CMainFrame>(this)] {
                CMainFrame* frame = self && !self->destroying_ ? self.data() : nullptr;
                if (!frame && app)
                    frame = app->MainWindow();
                if (frame)
                    frame->OnHandOver();
            });
            return true;
        }
        break;
    }
    return QMainWindow::event(event);
}

void CMainFrame::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        app_.OnFrameActivated(this);
}

void CMainFrame::OnHandOver() {
    app_.profile().Sync();
    const std::string file = app_.profile().ReadString("Temp", "OpenFile", "");
    if (file.empty()) {
        raise();
        activateWindow();
        app_.OpenWindow(nullptr, nullptr);
    } else {
        app_.OpenDocumentFile(QString::fromStdString(file));
    }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    event->ignore();
    SaveBarState();
    if (app_.IsMainWindow(this))
        app_.CloseAllDocuments();
    else
        DestroyFrame();
}

void CMainFrame::SaveBarState() {
    const QByteArray state = saveState();
    app_.profile().WriteBinary(
        kBarStateSection, "State",
        {reinterpret_cast<const uint8_t*>(state.data()), static_cast<size_t>(state.size())});
}

void CMainFrame::RestoreBarState() {
    std::vector<uint8_t> state;
    if (app_.profile().ReadBinary(kBarStateSection, "State", state))
        restoreState(QByteArray(reinterpret_cast<const char*>(state.data()),
                                static_cast<qsizetype>(state.size())));
}

void CMainFrame::DestroyFrame() {
    if (destroying_)
        return;
    destroying_ = true;
    app_.OnFrameDestroyed(this);
    if (CVexaView* view = ActiveView())
        view->Destroy();
    document_.reset();
    screenSaver_->SetActive(false);
    hide();
    deleteLater();
    app_.OnFrameGone(this);
}
