#pragma once

#include <functional>
#include <utility>

class QDialog;

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
