#pragma once

#include "dialogs/dialog_units.h"

#include <QDialog>
#include <QString>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

// Ids of the buttons every dialog template shares.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdHelp = 1090;

// A control's object name is its template id, so tests and callers find it by that id.
QString ControlName(int id);

template <class Control>
Control* FindControl(const QWidget& dialog, int id) {
    return dialog.findChild<Control*>(ControlName(id));
}

// Builds a dialog from its template: the client size and every control's place in dialog
// units of the dialog's font, in template order (later controls lie above earlier ones, as
// the controls of a group lie above its group box).
class DialogTemplate {
public:
    DialogTemplate(QDialog& dialog, const QString& caption, int cx, int cy);

    const DialogUnits& units() const { return units_; }

    QPushButton* PushButton(int id, const QString& text, const DluRect& rect);
    QPushButton* DefaultPushButton(int id, const QString& text, const DluRect& rect);
    QGroupBox* GroupBox(const QString& text, const DluRect& rect);
    QLabel* Static(const QString& text, const DluRect& rect);
    QListWidget* ListBox(int id, const DluRect& rect);
    QLineEdit* ReadOnlyEdit(int id, const DluRect& rect);
    // The radio buttons of one dialog form one group: a single tab stop (the checked button),
    // and the arrow keys move inside it, clicking the button they reach.
    QRadioButton* RadioButton(int id, const QString& text, const DluRect& rect);
    // The height in a template includes the opened list; the closed box keeps its own height.
    QComboBox* DropDownList(int id, const DluRect& rect);

    // Places a control of the dialog's own at its template position.
    void Place(QWidget& control, int id, const DluRect& rect) const;

private:
    QDialog& dialog_;
    DialogUnits units_;
};
