#include "dialogs/modal_run.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <algorithm>
#include <vector>

namespace {

struct ModalState {
    ModalRunner runner;
    std::vector<QPointer<QWidget>> running; // innermost last
    std::vector<std::function<void()>> waiting;
};

ModalState& State() {
    static ModalState state;
    return state;
}

void EndRunning() {
    // Copied: ending one may end or start another.
    const std::vector<QPointer<QWidget>> running = State().running;
    for (auto it = running.rbegin(); it != running.rend(); ++it) {
        if (auto* dialog = qobject_cast<QDialog*>(it->data()))
            dialog->reject();
        else if (QWidget* widget = it->data())
            widget->close();
    }
}

// Called when the last marked widget has returned: its caller is still on the stack, so the
// waiting actions run from the event loop, and wait again if another modal runs by then.
void ReleaseWaiting() {
    if (State().waiting.empty() || !QCoreApplication::instance())
        return;
    QTimer::singleShot(0, QCoreApplication::instance(), [] {
        std::vector<std::function<void()>> waiting = std::move(State().waiting);
        State().waiting.clear();
        for (auto& action : waiting)
            EndModalsThen(std::move(action));
    });
}

// Brings a running modal dialog back when the window manager minimises it: while it is
// hidden the program's windows refuse input with nothing on the screen to say why. Some
// window managers offer the button whatever the dialog asks for.
class KeepShownWhileModal : public QObject {
public:
    explicit KeepShownWhileModal(QDialog& dialog) : dialog_(dialog) {
        dialog_.installEventFilter(this);
    }
    ~KeepShownWhileModal() override { dialog_.removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &dialog_ && event->type() == QEvent::WindowStateChange &&
            dialog_.isMinimized()) {
            QTimer::singleShot(0, &dialog_, [dialog = &dialog_] {
                if (dialog->isVisible() && dialog->isMinimized()) {
                    dialog->showNormal();
                    dialog->activateWindow();
                }
            });
        }
        return false;
    }

private:
    QDialog& dialog_;
};

} // namespace

ModalScope::ModalScope(QWidget& widget) {
    State().running.emplace_back(&widget);
}

ModalScope::~ModalScope() {
    std::vector<QPointer<QWidget>>& running = State().running;
    running.pop_back();
    if (running.empty())
        ReleaseWaiting();
}

int RunModal(QDialog& dialog) {
    // Copied, so that a runner may replace itself while it runs.
    const ModalRunner runner = State().runner;
    ModalScope scope(dialog);
    KeepShownWhileModal shown(dialog);
    return runner ? runner(dialog) : dialog.exec();
}

ModalRunner SetModalRunner(ModalRunner runner) {
    ModalRunner previous = std::move(State().runner);
    State().runner = std::move(runner);
    return previous;
}

bool ModalRunning() {
    return !State().running.empty();
}

void EndModalsThen(std::function<void()> action) {
    if (!ModalRunning()) {
        action();
        return;
    }
    State().waiting.push_back(std::move(action));
    EndRunning();
}
