#pragma once

#include "app/command_target.h"
#include "app/frame_placement.h"

#include <QEvent>
#include <QMainWindow>
#include <map>
#include <memory>

class CVexaApp;
class CVexaDoc;
class CVexaView;
class QMenu;
class QToolBar;
class ScreenSaverInhibitor;
class StatusPanes;

// The frame of one meter window: menus, tool bar, status bar and the meter view as its
// client. It enforces the size locks the views ask for, keeps itself on screen, receives the
// second-instance hand-over and tells the application when it is activated or destroyed.
class CMainFrame : public QMainWindow, public CommandTarget {
    Q_OBJECT

public:
    // The value by which a second instance recognises the program's frames.
    static constexpr int kFrameMarker = 20;
    // The event a second instance delivers (the window message 0x401).
    static const QEvent::Type kHandOverEvent;

    explicit CMainFrame(CVexaApp& app);
    ~CMainFrame() override;

    CVexaDoc* GetDocument() const { return document_.get(); }
    CVexaView* ActiveView() const;
    int Marker() const { return kFrameMarker; }

    // The command route: the active meter view, its document, this frame, the application.
    void RouteCommand(int id);
    // True when some stop of the route handles `id`.
    bool UpdateCommand(int id, CommandState& state);
    void UpdateCommandUi();
    QAction* Action(int id) const;
    void PopupMenu(QMenu& menu, const QPoint& globalPos);
    void UpdateRecentFileMenu();

    // Operations for the document and the views.
    void SetFileInTitle(bool show);
    void SetCaptionText(const QString& text);
    void UpdateCaption();
    void ShowBars(bool toolBar, bool statusBar);
    void KeepOnScreen();
    // A width is never narrower than NarrowestViewWidth.
    int FitClientSize(int width, int height);
    // The narrowest view at which the frame shows every menu title and status pane whole.
    int NarrowestViewWidth() const;
    void ReplaceView(CVexaView* view);
    void UpdateRatePane();
    void ShowNormal();

    // Outer (window-manager frame included) geometry, as the settings store keeps it.
    QRect OuterGeometry() const { return placement_.Outer(); }
    QRect NormalOuterGeometry() const { return placement_.NormalOuter(); }
    void SetOuterGeometry(const QRect& outer) { placement_.Place(outer); }
    void SetOuterSize(const QSize& outer) { placement_.Resize(outer); }

    // The outer size locks of FitClientSize, 0 where free.
    int FixedWidth() const { return placement_.LockedOuterWidth(); }
    int FixedHeight() const { return placement_.LockedOuterHeight(); }

    // The window's destruction: tells the application, lets the views and the document go.
    void DestroyFrame();
    bool IsDestroying() const { return destroying_; }

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, CommandState& state) override;

    bool alwaysOnTop() const { return AlwaysOnTop != 0; }
    bool deactivateScreenSaver() const { return DeactivateScreenSaver != 0; }
    ScreenSaverInhibitor& screenSaver() const { return *screenSaver_; }

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    QAction* MakeAction(int id, const char* text);
    void ToggleAlwaysOnTop();
    void ToggleScreenSaver();
    void ApplyAlwaysOnTop();
    void OnHandOver();
    void SaveBarState();
    void RestoreBarState();

    CVexaApp& app_;
    std::unique_ptr<CVexaDoc> document_;
    std::unique_ptr<ScreenSaverInhibitor> screenSaver_;
    std::map<int, QAction*> actions_;
    QToolBar* toolBar_ = nullptr;
    std::unique_ptr<StatusPanes> statusPanes_;
    QString captionText_;

    int32_t DeactivateScreenSaver = 0;
    int32_t AlwaysOnTop = 0;
    bool showFileInTitle_ = false;
    mutable int narrowestBars_ = 0; // see NarrowestViewWidth
    bool destroying_ = false;
    FramePlacement placement_{*this};
};
