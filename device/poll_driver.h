#pragma once

class LevelEngine;

// Calls LevelEngine::Poll every 20 ms on the thread that owns the engine's listeners. The
// engine starts it at its first registration and stops it when it is destroyed, so it must
// outlive the engine.
class PollDriver {
public:
    virtual void Start(LevelEngine& engine) = 0;
    virtual void Stop() = 0;

protected:
    ~PollDriver() = default;
};
