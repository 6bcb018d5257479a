#pragma once

#include "platform/colorref.h"

#include <QDialog>
#include <functional>
#include <optional>

class ColorSwatch;
struct GlobalSettings;

inline constexpr int kIdNormalLevel = 1066;
inline constexpr int kIdWarningLevel = 1068;
inline constexpr int kIdNormalSwatch = 1069;
inline constexpr int kIdWarningSwatch = 1070;
inline constexpr int kIdSetDefaults = 1072;

// Asks the user for a colour, starting from `initial`; nothing when the user cancelled.
using ColorChooser = std::function<std::optional<COLORREF>(COLORREF initial, QWidget* parent)>;

// The system colour picker with its custom-colour part, run modally over `parent`.
std::optional<COLORREF> ChooseColorWithPicker(COLORREF initial, QWidget* parent);

// "Color Settings": the program-wide normal and warning colours of the meters. Works on
// copies; OK writes them back, Cancel leaves the program-wide colours as they were.
class CSystemSet : public QDialog {
    Q_OBJECT

public:
    explicit CSystemSet(GlobalSettings& settings, QWidget* parent = nullptr);

    COLORREF normalColor() const { return normalColor_; }
    COLORREF warningColor() const { return warningColor_; }

    // Replaces the colour picker the two colour buttons open.
    void SetColorChooser(ColorChooser chooser) { chooser_ = std::move(chooser); }

    void accept() override;

private:
    void Choose(COLORREF& color);
    void SetDefaults();
    void ShowColors();

    GlobalSettings& settings_;
    COLORREF normalColor_;
    COLORREF warningColor_;
    ColorChooser chooser_ = ChooseColorWithPicker;
    ColorSwatch* normalSwatch_;
    ColorSwatch* warningSwatch_;
};

// Runs the dialog modally on the program-wide colours.
void RunColorSettings();
