#pragma once

#include <functional>
#include <utility>

class QDialog;
class QWidget;

// Every modal dialog of the program runs through RunModal, so that tests (and anything else
// that must not block on a person) can answer dialogs in place of QDialog::exec.
using ModalRunner = std::function<int(QDialog&)>;

// Runs the dialog modally and returns its result code (QDialog::Accepted or Rejected).
int RunModal(QDialog& dialog);

// Installs a runner; an empty one restores QDialog::exec. Returns the runner it replaced.
ModalRunner SetModalRunner(ModalRunner runner);

// Installs a runner for the lifetime of the object.
class ScopedModalRunner {
public:
    explicit ScopedModalRunner(ModalRunner runner) : previous_(SetModalRunner(std::move(runner))) {}
    ~ScopedModalRunner() { SetModalRunner(std::move(previous_)); }
    ScopedModalRunner(const ScopedModalRunner&) = delete;
    ScopedModalRunner& operator=(const ScopedModalRunner&) = delete;

private:
    ModalRunner previous_;
};

// Marks a widget that runs its own event loop (a dialog, a popup menu) for its lifetime, so
// that EndModalsThen can end it. RunModal marks its dialogs itself.
class ModalScope {
public:
    explicit ModalScope(QWidget& widget);
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

// True while a marked dialog or menu runs.
bool ModalRunning();

// Ends every marked dialog (rejected) and menu, then runs `action` once none runs and the
// code that ran them has returned: `action` may destroy the windows they belonged to.
// At once when none runs.
void EndModalsThen(std::function<void()> action);
