#pragma once

#include "device/poll_driver.h"

#include <QTimer>
#include <memory>

// The level engine's tick: a hidden precise 20 ms timer on the GUI thread, created when the
// engine asks for it at its first registration.
class QtPollDriver final : public PollDriver {
public:
    static constexpr int kIntervalMs = 20;

    void Start(LevelEngine& engine) override;
    void Stop() override;
    bool IsRunning() const;

private:
    std::unique_ptr<QTimer> timer_;
};
