#include "setup/vexa_set_view.h"

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "dialogs/help_window.h"
#include "doc/vexa_doc.h"
#include "meters/vexa_view.h"
#include "setup/bitmap_cache.h"
#include "setup/drawing_context_canvas.h"
#include "setup/param_desc.h"
#include "setup/value_dialogs.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QWheelEvent>
#include <QWindow>
#include <algorithm>
#include <cmath>

namespace {

// The function index of the stereo meter, whose setup window names it in its caption.
constexpr int32_t kStereoFunction = 0;
// Stored rectangles are whatever the settings say; beyond this they cannot be a window.
constexpr int64_t kMaxCoordinate = 1 << 20;

// One drag for all setup windows: only the one holding the mouse changes it.
SetupDrag& SharedDrag() {
    static SetupDrag drag;
    return drag;
}

ScreenBox VirtualScreen() {
    QRect all;
    for (const QScreen* screen : QGuiApplication::screens())
        all |= screen->geometry();
    return {all.x(), all.y(), all.width(), all.height()};
}

int32_t Saturate(int64_t v) {
    return static_cast<int32_t>(std::clamp(v, -kMaxCoordinate, kMaxCoordinate));
}

ScreenBox BoxOf(const WinRect& r) {
    return {Saturate(r.left), Saturate(r.top), Saturate(int64_t{r.right} - r.left),
            Saturate(int64_t{r.bottom} - r.top)};
}

ScreenBox BoxOf(const QRect& r) {
    return {r.x(), r.y(), r.width(), r.height()};
}

} // namespace

void CVexaSetView::Open(CVexaView& meterView) {
    CVexaDoc* document = meterView.GetDocument();
    if (!document || !meterView.Params())
        return;
    if (CVexaSetView* open = document->setupView) {
        open->raise();
        open->activateWindow();
        open->setFocus();
        return;
    }
    const QString caption = document->SWType == kStereoFunction
                                ? QStringLiteral("Stereo Level Meter Setup")
                                : QStringLiteral("Level Meter Setup");
    auto* view = new CVexaSetView(*document, meterView, caption);
    document->setupView = view;
    view->show();
    view->activateWindow();
}

CVexaSetView::CVexaSetView(CVexaDoc& document, CVexaView& meterView, const QString& caption)
    : QWidget(document.GetFrame(),
              Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      document_(&document), meterView_(&meterView),
      canvas_(this, ClientCanvas::Scaling::WholeMultiple), helpContext_(help::kSetupWindow) {
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setWindowTitle(caption);
    if (ParamTable* table = Table())
        tableSize_ = QSize(table->width, table->height);
    canvas_.Resize(tableSize_);
    // The window goes with its meter window.
    connect(&document, &QObject::destroyed, this, &QWidget::close);

    createdAt_ = PlaceSetupWindow(BoxOf(document.SetWinPos), VirtualScreen());
    move(createdAt_->x, createdAt_->y);
    setFixedSize(ClientSize());
}

CVexaSetView::~CVexaSetView() {
    Detach();
}

ParamTable* CVexaSetView::Table() const {
    return meterView_ ? meterView_->Params() : nullptr;
}

QSize CVexaSetView::ClientSize() const {
    const double f = canvas_.LogicalScale();
    return {static_cast<int>(std::ceil(tableSize_.width() * f)),
            static_cast<int>(std::ceil(tableSize_.height() * f))};
}

QPoint CVexaSetView::ToTablePixels(const QPointF& position) const {
    const double f = canvas_.LogicalScale();
    return {static_cast<int>(std::floor(position.x() / f)),
            static_cast<int>(std::floor(position.y() / f))};
}

void CVexaSetView::paintEvent(QPaintEvent* event) {
    if (!drawn_)
        OnDraw();
    canvas_.Paint(event);
}

void CVexaSetView::OnDraw() {
    FitToTable();
    DrawControls(true);
    drawn_ = true;
}

void CVexaSetView::OnUpdate() {
    DrawControls(false);
}

void CVexaSetView::DrawControls(bool full) {
    ParamTable* table = Table();
    if (!table)
        return;
    std::optional<DrawingContext> dc = canvas_.Context();
    DrawParamControls(dc ? &*dc : nullptr, table->records, full, SetupBitmaps());
    canvas_.InvalidateAll();
}

// Gives the window the client size of its table at the screen's whole-number scale. The
// first fit measures the rectangle the window was created at, as if it had been created with
// that outer size: a stored rectangle of the right size stays where it is.
void CVexaSetView::FitToTable() {
    const QRect frame = frameGeometry();
    const QSize decoration = frame.size() - size();
    ScreenBox window = BoxOf(frame);
    QSize client = size();
    if (createdAt_) {
        window = *std::exchange(createdAt_, std::nullopt);
        client = QSize(window.width, window.height) - decoration;
    }
    const QSize want = ClientSize();
    const ScreenBox fitted = FitWindowToClient(window, client.width(), client.height(),
                                               want.width(), want.height(), VirtualScreen());
    if (fitted.x != frame.x() || fitted.y != frame.y())
        move(fitted.x, fitted.y);
    if (size() != want)
        setFixedSize(want);
}

void CVexaSetView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Before the window was shown its frame was unknown, so the position may have gone to
    // the client area; now it goes to the frame, as the stored rectangle means it.
    if (createdAt_)
        move(createdAt_->x, createdAt_->y);
    if (!screenWatched_ && windowHandle()) {
        screenWatched_ = true;
        // Another screen may call for another whole-number scale.
        connect(windowHandle(), &QWindow::screenChanged, this, [this] {
            FitToTable();
            canvas_.InvalidateAll();
        });
    }
}

void CVexaSetView::StoreWindowRect() {
    if (!document_)
        return;
    const QRect r = frameGeometry();
    document_->SetWinPos = {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

void CVexaSetView::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    StoreWindowRect();
}

void CVexaSetView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    StoreWindowRect();
}

void CVexaSetView::Detach() {
    if (document_ && document_->setupView == this)
        document_->setupView = nullptr;
}

// Closing keeps the rectangle for the next opening and hands the focus back to the meter.
void CVexaSetView::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    StoreWindowRect();
    Detach();
    if (document_) {
        CMainFrame* frame = document_->GetFrame();
        frame->raise();
        frame->activateWindow();
    }
}

bool CVexaSetView::IsMinimized() const {
    return isMinimized();
}

bool CVexaSetView::OpenValueDialog(ValueDialog dialog, ParamDesc& record) {
    const QPointer<CVexaSetView> self(this);
    const std::optional<double> chosen = RunValueDialog(dialog, record, this);
    // The program may have closed the window, or its meter, while the dialog ran.
    if (!self || !Table())
        return false;
    // The dialog's activation would otherwise fall back to the meter window, while the user
    // works on here.
    activateWindow();
    setFocus(Qt::OtherFocusReason);
    if (chosen)
        ApplyParamValue(record, *chosen);
    return true;
}

// Input handling first, then the redraw of what it marked, then the document, which makes
// the meter view act. What the view sets in turn (the hold-reset button popping out) shows
// with the document's next update of its views, so a press stays visible for a moment.
void CVexaSetView::Filter(const SetupEvent& event) {
    ParamTable* table = Table();
    if (!table)
        return;
    const QPointer<CVexaSetView> self(this);
    if (HandleSetupInput(this, SharedDrag(), table->records, event) != kSetupChanged || !self)
        return;
    DrawControls(false);
    if (document_)
        document_->UpdateView(0);
}

SetupEvent CVexaSetView::MouseEvent(SetupEvent::Kind kind, const QMouseEvent& event) const {
    const QPoint at = ToTablePixels(event.position());
    SetupEvent e{kind, at.x(), at.y()};
    e.shift = event.modifiers() & Qt::ShiftModifier;
    e.leftButton = event.buttons() & Qt::LeftButton;
    return e;
}

void CVexaSetView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Filter(MouseEvent(SetupEvent::LeftButtonDown, *event));
}

void CVexaSetView::mouseMoveEvent(QMouseEvent* event) {
    Filter(MouseEvent(SetupEvent::MouseMove, *event));
}

void CVexaSetView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Filter(MouseEvent(SetupEvent::LeftButtonUp, *event));
}

void CVexaSetView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Filter(MouseEvent(SetupEvent::LeftButtonDoubleClick, *event));
}

void CVexaSetView::wheelEvent(QWheelEvent* event) {
    SetupEvent e{SetupEvent::MouseWheel};
    e.shift = event->modifiers() & Qt::ShiftModifier;
    e.wheelDelta = event->angleDelta().y();
    Filter(e);
    event->accept();
}

void CVexaSetView::keyPressEvent(QKeyEvent* event) {
    const QPointer<CVexaSetView> self(this);
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        SetupEvent e{SetupEvent::KeyDown};
        e.key = kKeyEnter;
        Filter(e);
        if (!self)
            return;
    }
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_F1:
        ShowHelpTopic(helpContext_);
        return;
    default:
        ForwardKey(*event);
        return;
    }
}

void CVexaSetView::keyReleaseEvent(QKeyEvent* event) {
    ForwardKey(*event);
}

// The meter's keys (Ctrl+C, Ctrl+I, L, M, G) work from here too.
void CVexaSetView::ForwardKey(QKeyEvent& event) {
    CVexaView* meter = document_ ? document_->MeterView() : nullptr;
    if (!meter)
        return;
    QKeyEvent copy(event.type(), event.key(), event.modifiers(), event.nativeScanCode(),
                   event.nativeVirtualKey(), event.nativeModifiers(), event.text(),
                   event.isAutoRepeat(), event.count());
    QCoreApplication::sendEvent(meter, &copy);
}
