#include "setup/setup_input.h"

#include <cmath>

namespace {

constexpr int32_t kPixelsPerStep = 2;
constexpr int32_t kPixelsPerEntry = 12;
constexpr int32_t kWheelNotch = 120;
constexpr int32_t kShiftFactor = 10;

// Presses and double clicks read their position as unsigned 16-bit values, so a position
// left of or above the window hits nothing.
bool Hits(const ParamDesc& r, int32_t x, int32_t y) {
    if (r.flags & PF_HIDDEN)
        return false;
    const int64_t ux = static_cast<uint16_t>(x);
    const int64_t uy = static_cast<uint16_t>(y);
    return ux >= r.x && ux <= int64_t{r.x} + r.w && uy >= r.y && uy <= int64_t{r.y} + r.h;
}

bool IsDraggable(int32_t type) {
    switch (type) {
    case kControlNumericBox:
    case kControlSelection:
    case kControlWrappingSelection:
    case kControlSlider:
    case kControlKnob:
        return true;
    default:
        return false;
    }
}

// Past one end of a wrapping selection the value comes round from the other end, as often as
// it takes (computed, so that a far-off value cannot loop for long).
double Wrap(double v, const ParamDesc& r) {
    const double span = r.max - r.min + 1;
    if (!(span > 0) || !std::isfinite(v))
        return v;
    if (v > r.max)
        v -= std::ceil((v - r.max) / span) * span;
    if (v < r.min)
        v += std::ceil((r.min - v) / span) * span;
    return v;
}

int HandlePress(SetupDrag& drag, std::span<ParamDesc> records, const SetupEvent& e) {
    int result = 0;
    for (ParamDesc& r : records) {
        if (r.flags & PF_SELECTED) {
            r.flags = (r.flags & ~PF_SELECTED) | PF_REDRAW;
            result = kSetupChanged;
        }
        if (!Hits(r, e.x, e.y))
            continue;
        drag.startX = static_cast<uint16_t>(e.x);
        drag.startY = static_cast<uint16_t>(e.y);
        if (IsDraggable(r.type)) {
            drag.startValue = drag.lastValue = r.value;
            r.flags |= PF_SELECTED | PF_REDRAW;
            drag.dragging = 1;
            drag.startShift = e.shift ? 1 : 0;
            result = kSetupChanged;
        } else if (r.type == kControlSwitch) {
            r.value = r.value > 0.5 ? 0 : 1;
            r.flags |= PF_CHANGED | PF_REDRAW;
            result = kSetupChanged;
        }
    }
    return result;
}

// Stores a dragged or stepped candidate, always. It counts as a change when it differs from
// the last value the drag stored, and also when it differs from the record's own value: a
// value set meanwhile by a dialog or by the meter view must not be overwritten unmarked.
void StoreCandidate(ParamDesc& r, double& v, SetupDrag& drag, int& result) {
    if (r.type == kControlWrappingSelection)
        v = Wrap(v, r);
    v = ClampParam(v, r);
    const bool changed = v != r.value || v != drag.lastValue;
    r.value = v;
    if (changed) {
        drag.lastValue = v;
        r.flags |= PF_CHANGED | PF_REDRAW;
        result = kSetupChanged;
    }
}

double DragCandidate(ParamDesc& r, SetupDrag& drag, const SetupEvent& e) {
    const int32_t m = e.shift ? kShiftFactor : 1;
    switch (r.type) {
    case kControlNumericBox:
        if ((e.shift ? 1 : 0) != drag.startShift) {
            // Shift pressed or released: carry on from here, so the value does not jump.
            drag.startShift = e.shift ? 1 : 0;
            drag.startValue = r.value;
            drag.startY = e.y;
        }
        return drag.startValue + r.step * (m * ((drag.startY - e.y) / kPixelsPerStep));
    case kControlSelection:
    case kControlWrappingSelection:
        return drag.startValue + r.step * ((drag.startY - e.y) / kPixelsPerEntry);
    case kControlSlider:
        return drag.startValue + (drag.startY - e.y);
    case kControlKnob:
        return drag.startValue + r.step * (m * ((drag.startY - e.y) / kPixelsPerStep)) +
               r.step * (m * ((e.x - drag.startX) / kPixelsPerStep));
    default:
        return drag.running;
    }
}

double WheelCandidate(const ParamDesc& r, const SetupDrag& drag, const SetupEvent& e) {
    if (!IsDraggable(r.type))
        return drag.running;
    const int32_t m = e.shift ? kShiftFactor : 1;
    return r.value + (e.wheelDelta / kWheelNotch) * m * r.step;
}

template <class Candidate>
int StepSelected(SetupDrag& drag, std::span<ParamDesc> records, Candidate candidate) {
    int result = 0;
    double v = drag.running;
    for (ParamDesc& r : records) {
        if (!(r.flags & PF_SELECTED))
            continue;
        v = candidate(r);
        StoreCandidate(r, v, drag, result);
    }
    drag.running = v;
    return result;
}

// The dialog of a record's type, if it has one.
bool DialogOf(int32_t type, ValueDialog& dialog) {
    switch (type) {
    case kControlNumericBox:
        dialog = ValueDialog::Input;
        return true;
    case kControlSelection:
    case kControlWrappingSelection:
        dialog = ValueDialog::Select;
        return true;
    case kControlNumericDisplay:
    case kControlSelectionDisplay:
        dialog = ValueDialog::Display;
        return true;
    default:
        return false;
    }
}

// Opens the dialog of every record `pick` chooses; each such record asks for a redraw, also
// when it has no dialog or the dialog was cancelled.
template <class Pick>
int OpenDialogs(SetupWindowPort& window, std::span<ParamDesc> records, Pick pick) {
    int result = 0;
    for (ParamDesc& r : records) {
        if (!pick(r))
            continue;
        ValueDialog dialog;
        if (DialogOf(r.type, dialog) && !window.OpenValueDialog(dialog, r))
            return 0;
        result = kSetupChanged;
    }
    return result;
}

} // namespace

int HandleSetupInput(SetupWindowPort* window, SetupDrag& drag, std::span<ParamDesc> records,
                     const SetupEvent& e) {
    if (!window || window->IsMinimized())
        return 0;
    switch (e.kind) {
    case SetupEvent::LeftButtonDown:
        return HandlePress(drag, records, e);
    case SetupEvent::MouseMove:
        if (!e.leftButton || drag.dragging == 0) {
            drag.dragging = 0;
            return 0;
        }
        return StepSelected(drag, records, [&](ParamDesc& r) { return DragCandidate(r, drag, e); });
    case SetupEvent::LeftButtonUp:
        drag.dragging = 0;
        return 0;
    case SetupEvent::LeftButtonDoubleClick:
        drag.dragging = 0;
        return OpenDialogs(*window, records, [&](const ParamDesc& r) { return Hits(r, e.x, e.y); });
    case SetupEvent::MouseWheel:
        return StepSelected(drag, records,
                            [&](ParamDesc& r) { return WheelCandidate(r, drag, e); });
    case SetupEvent::KeyDown:
        if (e.key != kKeyEnter)
            return 0;
        return OpenDialogs(*window, records,
                           [](const ParamDesc& r) { return (r.flags & PF_SELECTED) != 0; });
    }
    return 0;
}
