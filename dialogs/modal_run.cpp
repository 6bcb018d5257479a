#include "dialogs/modal_run.h"

#include <QDialog>

namespace {

ModalRunner& CurrentRunner() {
    static ModalRunner runner;
    return runner;
}

} // namespace

int RunModal(QDialog& dialog) {
    // Copied, so that a runner may replace itself while it runs.
    const ModalRunner runner = CurrentRunner();
    return runner ? runner(dialog) : dialog.exec();
}

ModalRunner SetModalRunner(ModalRunner runner) {
    ModalRunner previous = std::move(CurrentRunner());
    CurrentRunner() = std::move(runner);
    return previous;
}
