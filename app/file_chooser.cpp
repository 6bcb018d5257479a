#include "app/file_chooser.h"

#include "dialogs/modal_run.h"

#include <QFileDialog>

namespace {

FileChooser& Installed() {
    static FileChooser chooser;
    return chooser;
}

QString RunFileDialog(const FileRequest& request, QWidget* parent) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.setNameFilters(request.filters);
    // A name with a wildcard is a filter, not a file to preselect.
    if (!request.initialName.contains('*'))
        dialog.selectFile(request.initialName);
    // Overwriting asks first; read-only files are simply not offered for saving.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (RunModal(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

} // namespace

QString ChooseFile(const FileRequest& request, QWidget* parent) {
    if (Installed())
        return Installed()(request, parent);
    return RunFileDialog(request, parent);
}

FileChooser SetFileChooser(FileChooser chooser) {
    return std::exchange(Installed(), std::move(chooser));
}
