#pragma once

#include "app/command_target.h"

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
    void setVisible(bool visible) override;

    // Outer (window-manager frame included) geometry, as the settings store keeps it.
    QRect OuterGeometry() const;
    QRect NormalOuterGeometry() const;
    void SetOuterGeometry(const QRect& outer);
    void SetOuterSize(const QSize& outer);

    // A drag of `edge` proposed `outer`; a locked dimension turns it into a move.
    QRect OnSizing(int edge, const QRect& outer) const;
    int FixedWidth() const { return fixedWidth_; }
    int FixedHeight() const { return fixedHeight_; }

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
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

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
    void ApplyMaxTrackWidth();
    QMargins Decoration() const;
    // `outer` at the position the program gave where the compositor places windows.
    QRect Placed(QRect outer) const;

    CVexaApp& app_;
    std::unique_ptr<CVexaDoc> document_;
    std::unique_ptr<ScreenSaverInhibitor> screenSaver_;
    std::map<int, QAction*> actions_;
    QToolBar* toolBar_ = nullptr;
    std::unique_ptr<StatusPanes> statusPanes_;
    QString captionText_;

    int32_t DeactivateScreenSaver = 0;
    int32_t AlwaysOnTop = 0;
    int fixedWidth_ = 0;
    int fixedHeight_ = 0;
    bool showFileInTitle_ = false;
    bool destroying_ = false;
    // Set while the program itself moves or resizes the window.
    int placing_ = 0;
    QRect lastOuter_;
    // Placed before the frame was first shown; applied once its decoration is known.
    QRect pendingOuter_;
    // The outer top-left the program last gave the window (see CompositorPlacesWindows).
    QPoint placedAt_;
};
