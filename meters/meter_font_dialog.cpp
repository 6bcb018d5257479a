#include "meters/meter_font_dialog.h"

#include "dialogs/modal_run.h"
#include "platform/drawing_context.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QFontInfo>
#include <QGroupBox>
#include <QLineEdit>

namespace {

// The font as the meters really draw it: a face name such as "ARIAL" is only a request that
// the font configuration maps to an installed family, which the dialog's list must show.
QFont DrawnFont(const LOGFONT& font) {
    const QFont requested = ToQFont(font);
    const QFontInfo drawn(requested);
    QFont shown(drawn.family());
    shown.setPixelSize(drawn.pixelSize());
    shown.setWeight(static_cast<QFont::Weight>(drawn.weight()));
    shown.setItalic(drawn.italic());
    return shown;
}

} // namespace

bool ChooseMeterFont(LOGFONT& font, QWidget* parent) {
    QFontDialog dialog(DrawnFont(font), parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setOption(QFontDialog::ScalableFonts);
    dialog.setOption(QFontDialog::NonScalableFonts);
    // No underline or strike-out choice: the meters draw plain text. The sample beside that
    // box took its height from it; it keeps that room to show its text in.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (group->findChildren<QCheckBox*>().isEmpty())
            continue;
        const int room = group->sizeHint().height();
        if (auto* sample = dialog.findChild<QLineEdit*>("qt_fontDialog_sampleEdit"))
            sample->setMinimumHeight(room);
        group->hide();
        dialog.resize(dialog.width(), dialog.height() + room);
    }
    const QFont offered = dialog.currentFont();
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    // OK without a choice keeps the stored font as it is, face name and all.
    if (dialog.selectedFont() == offered)
        return false;
    font = FromQFont(dialog.selectedFont());
    return true;
}
