#pragma once

#include "setup/param_desc.h"

#include <cstdint>
#include <span>

// One user action in a setup window, in the window's client pixels (the table's pixels).
struct SetupEvent {
    enum Kind {
        LeftButtonDown,
        MouseMove,
        LeftButtonUp,
        LeftButtonDoubleClick,
        MouseWheel,
        KeyDown
    };

    Kind kind;
    int32_t x = 0;
    int32_t y = 0;
    bool shift = false;
    bool leftButton = false; // held, for a mouse move
    int32_t wheelDelta = 0;  // 120 a notch, positive away from the user
    int32_t key = 0;         // the virtual key code of a key press
};

inline constexpr int32_t kKeyEnter = 13;

// The value dialogs a setup window opens on a record.
enum class ValueDialog { Input, Select, Display };

// What the input handling asks of the window it handles.
class SetupWindowPort {
public:
    virtual bool IsMinimized() const = 0;
    // Runs the dialog modally on the record. False when the window or its table went away
    // while the dialog ran; the records must not be touched again then.
    virtual bool OpenValueDialog(ValueDialog dialog, ParamDesc& record) = 0;

protected:
    ~SetupWindowPort() = default;
};

// The drag in progress. The program keeps one for all its setup windows; only the window
// that holds the mouse changes it.
struct SetupDrag {
    int32_t dragging = 0;
    double startValue = 0;
    double lastValue = 0;
    int32_t startX = 0;
    int32_t startY = 0;
    int32_t startShift = 0;
    double running = 0;
};

// The result asking for the redraw of the marked controls and the document's update.
inline constexpr int kSetupChanged = 2;

// Applies a press, drag, release, double click, wheel turn or Enter to the records: selects,
// toggles, drags and steps values (clamped, marked PF_CHANGED and PF_REDRAW) and opens the
// value dialogs. Returns kSetupChanged when controls must be redrawn and the document told,
// else 0; always 0 without a window or for a minimised one.
int HandleSetupInput(SetupWindowPort* window, SetupDrag& drag, std::span<ParamDesc> records,
                     const SetupEvent& event);
