#include "meters/meter_font_dialog.h"

#include "dialogs/modal_run.h"
#include "platform/drawing_context.h"

#include <QCheckBox>
#include <QFontDialog>
#include <QGroupBox>

bool ChooseMeterFont(LOGFONT& font, QWidget* parent) {
    QFontDialog dialog(ToQFont(font), parent);
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    dialog.setOption(QFontDialog::ScalableFonts);
    dialog.setOption(QFontDialog::NonScalableFonts);
    // No underline or strike-out choice: the meters draw plain text.
    for (QGroupBox* group : dialog.findChildren<QGroupBox*>()) {
        if (!group->findChildren<QCheckBox*>().isEmpty())
            group->hide();
    }
    if (RunModal(dialog) != QDialog::Accepted)
        return false;
    font = FromQFont(dialog.selectedFont());
    return true;
}
