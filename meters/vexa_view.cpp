#include "meters/vexa_view.h"

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "dialogs/help_window.h"
#include "doc/vexa_doc.h"
#include "setup/vexa_set_view.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>

namespace {

constexpr int kHousekeepingMs = 500;

struct ContextItem {
    const char* text;
    int id;
};
constexpr ContextItem kContextMenu[] = {
    {"&Level Meter Setup...\tF2", cmd::kLevelMeterSetup},
    {"&Channel Setup...\tF3", cmd::kChannelSetup},
    {"&Function Select...\tF4", cmd::kFunctionSelect},
};

} // namespace

CVexaView::CVexaView(Profile& profile, QWidget* parent) : QWidget(parent), profile_(profile) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CVexaView::~CVexaView() = default;

void CVexaView::SetChannelSelection(int, const ChannelSelection&) {}
void CVexaView::SaveSettings(const std::string&) {}
void CVexaView::LoadSettings(const std::string&) {}
int CVexaView::OnParamsChanged(int) {
    return 0;
}
void CVexaView::OnLevelReport(const LevelReport&, int32_t) {}
void CVexaView::ShowNotLive(const QString&) {}

void CVexaView::OnCardAnswering(bool answering) {
    if (document_)
        document_->OnCardAnswering(answering);
}

void CVexaView::Serialize(LineWriter&) {}
void CVexaView::Serialize(LineReader&) {}
ParamTable* CVexaView::Params() {
    return nullptr;
}

int CVexaView::HelpTopic() const {
    return help::kContents;
}

void CVexaView::OnActivateView() {
    if (timerId_ == 0 && !destroyed_)
        timerId_ = startTimer(kHousekeepingMs);
}

void CVexaView::Destroy() {
    if (destroyed_)
        return;
    destroyed_ = true;
    if (document_)
        document_->SaveTick(true);
    if (timerId_ != 0)
        killTimer(timerId_);
    timerId_ = 0;
    hide();
    deleteLater();
}

void CVexaView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != timerId_) {
        QWidget::timerEvent(event);
        return;
    }
    if (document_)
        document_->SaveTick(false);
}

void CVexaView::focusInEvent(QFocusEvent* event) {
    OnActivateView();
    QWidget::focusInEvent(event);
}

void CVexaView::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    if (event->button() == Qt::RightButton)
        ShowContextMenu(event->globalPosition().toPoint());
}

void CVexaView::ShowContextMenu(const QPoint& globalPos) {
    CMainFrame* frame = document_ ? document_->GetFrame() : nullptr;
    if (!frame)
        return;
    QMenu menu(this);
    for (const ContextItem& item : kContextMenu) {
        QAction* action = menu.addAction(QString::fromLatin1(item.text));
        CommandState state;
        action->setEnabled(frame->UpdateCommand(item.id, state) && state.enabled);
        connect(action, &QAction::triggered, frame,
                [frame, id = item.id] { frame->RouteCommand(id); });
    }
    frame->PopupMenu(menu, globalPos);
}

void CVexaView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control) {
        SetCtrlHeld(true);
        return;
    }
    if (event->key() == Qt::Key_F1) {
        ShowHelpTopic(HelpTopic());
        return;
    }
    // Without Ctrl a key may switch the function (L, M, G); the document compares its code
    // as a byte, so only keys of one byte may reach it (F29 ends in the byte of L). With Alt
    // or Meta a letter is a menu or desktop key.
    const bool plain =
        !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) &&
        event->key() <= 0xff;
    if (plain && document_ && !event->isAutoRepeat()) {
        document_->SelectFunctionByKey(event->key());
        return;
    }
    QWidget::keyPressEvent(event);
}

void CVexaView::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Control)
        SetCtrlHeld(false);
    QWidget::keyReleaseEvent(event);
}

bool CVexaView::OnCommand(int id) {
    switch (id) {
    case cmd::kHelpContents:
        ShowHelpTopic(help::kContents);
        return true;
    case cmd::kHelpCurrentFunction:
        ShowHelpTopic(HelpTopic());
        return true;
    case cmd::kLevelMeterSetup:
        CVexaSetView::Open(*this);
        return true;
    default:
        return false;
    }
}

bool CVexaView::OnUpdateCommand(int id, CommandState&) {
    // The start-up placeholder has no parameters to set up.
    if (id == cmd::kLevelMeterSetup)
        return Params() != nullptr;
    return id == cmd::kHelpContents || id == cmd::kHelpCurrentFunction;
}
