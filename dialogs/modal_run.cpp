#include "dialogs/modal_run.h"

#include <QCoreApplication>
#include <QDialog>
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
