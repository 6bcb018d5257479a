#pragma once

#include "platform/client_canvas.h"
#include "setup/setup_input.h"
#include "setup/window_fit.h"

#include <QPointer>
#include <QWidget>
#include <optional>

class CVexaDoc;
class CVexaView;
struct ParamTable;

// The setup window of a meter window: a tool window that shows the meter view's parameters
// as bitmap controls and edits them with the mouse, the Enter key and the value dialogs.
// Every change is drawn at once and handed to the document, which makes the meter view act
// on it. Keys it does not use go on to the meter view.
class CVexaSetView : public QWidget, private SetupWindowPort {
    Q_OBJECT

public:
    // The Level Meter Setup command of a meter view: focuses the window's open setup window,
    // or opens one on the view's parameters. Nothing for a view without parameters.
    static void Open(CVexaView& meterView);

    CVexaSetView(CVexaDoc& document, CVexaView& meterView, const QString& caption);
    ~CVexaSetView() override;

    // The document's update of all its views: draws the controls marked for redrawing.
    void OnUpdate();

    int HelpContext() const { return helpContext_; }
    // What the window shows, in the table's pixels.
    const QImage& Image() { return canvas_.image(); }
    // The table pixel under a position in the widget.
    QPoint ToTablePixels(const QPointF& position) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    bool IsMinimized() const override;
    bool OpenValueDialog(ValueDialog dialog, ParamDesc& record) override;

    ParamTable* Table() const;
    QSize ClientSize() const;
    void OnDraw();
    void DrawControls(bool full);
    void FitToTable();
    void Filter(const SetupEvent& event);
    SetupEvent MouseEvent(SetupEvent::Kind kind, const QMouseEvent& event) const;
    void ForwardKey(QKeyEvent& event);
    void StoreWindowRect();
    void Detach();

    QPointer<CVexaDoc> document_;
    QPointer<CVexaView> meterView_;
    ClientCanvas canvas_;
    QSize tableSize_;
    int helpContext_;
    bool drawn_ = false;
    bool screenWatched_ = false;
    // The rectangle the window was created at, which its first paint fits.
    std::optional<ScreenBox> createdAt_;
};
