#include "dialogs/dialog_template.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

namespace {

constexpr int kNoId = -1;

// Desktop fonts run wider than the one the templates were laid out in; a text control grows
// to the right rather than cut its text.
void WidenToText(QWidget& control) {
    control.resize(std::max(control.width(), control.sizeHint().width()), control.height());
}

} // namespace

QString ControlName(int id) {
    return QString::number(id);
}

DialogTemplate::DialogTemplate(QDialog& dialog, const QString& caption, int cx, int cy)
    : dialog_(dialog), units_(dialog.font()) {
    dialog_.setWindowTitle(caption);
    dialog_.setFixedSize(units_.ToPixels(cx, cy));
}

void DialogTemplate::Place(QWidget& control, int id, const DluRect& rect) const {
    if (id != kNoId)
        control.setObjectName(ControlName(id));
    control.setParent(&dialog_);
    control.setGeometry(units_.ToPixels(rect));
}

QPushButton* DialogTemplate::PushButton(int id, const QString& text, const DluRect& rect) {
    auto* button = new QPushButton(text);
    Place(*button, id, rect);
    return button;
}

QPushButton* DialogTemplate::DefaultPushButton(int id, const QString& text, const DluRect& rect) {
    QPushButton* button = PushButton(id, text, rect);
    button->setDefault(true);
    return button;
}

QGroupBox* DialogTemplate::GroupBox(const QString& text, const DluRect& rect) {
    auto* box = new QGroupBox(text);
    Place(*box, kNoId, rect);
    return box;
}

QLabel* DialogTemplate::Static(const QString& text, const DluRect& rect) {
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Place(*label, kNoId, rect);
    WidenToText(*label);
    return label;
}

QListWidget* DialogTemplate::ListBox(int id, const DluRect& rect) {
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Place(*list, id, rect);
    return list;
}

QLineEdit* DialogTemplate::ReadOnlyEdit(int id, const DluRect& rect) {
    auto* edit = new QLineEdit;
    edit->setReadOnly(true);
    edit->setFocusPolicy(Qt::ClickFocus);
    // Read-only fields sit on the dialog's face, as a text that cannot be typed into.
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
    Place(*edit, id, rect);
    return edit;
}

QRadioButton* DialogTemplate::RadioButton(int id, const QString& text, const DluRect& rect) {
    auto* button = new QRadioButton(text);
    Place(*button, id, rect);
    WidenToText(*button);
    return button;
}

QComboBox* DialogTemplate::DropDownList(int id, const DluRect& rect) {
    auto* combo = new QComboBox;
    Place(*combo, id, rect);
    combo->resize(combo->width(), combo->sizeHint().height());
    return combo;
}
