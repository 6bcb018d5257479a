#pragma once

// What the command route learns about a command before showing it: whether anyone handles
// it, whether it is enabled and whether it carries a check mark.
struct CommandState {
    bool enabled = true;
    bool checkable = false;
    bool checked = false;

    void SetCheck(bool on) {
        checkable = true;
        checked = on;
    }
};

// One stop of the command route: the active meter view, its document, the frame, the
// application. A target that handles a command answers true and the route ends there.
class CommandTarget {
public:
    virtual bool OnCommand(int id) = 0;
    // True when this target handles `id`; it may then adjust `state`.
    virtual bool OnUpdateCommand(int id, CommandState& state) = 0;

protected:
    ~CommandTarget() = default;
};
