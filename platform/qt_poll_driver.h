#pragma once

#include "device/level_engine.h"
#include "device/poll_driver.h"

#include <QObject>
#include <QTimer>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

// The level engine's tick: a hidden precise 20 ms timer on the GUI thread, created when the
// engine asks for it at its first registration.
//
// On a worker, the driver requests of each poll run on a thread of their own and their
// readings reach the engine on the GUI thread, so that a slow driver never stalls the
// windows. A tick that finds the previous poll still at the driver is skipped. The transport
// must then take requests from two threads (the socket transport does; the in-process demo
// cards do not).
class QtPollDriver final : public PollDriver {
public:
    static constexpr int kIntervalMs = 20;
    enum class Requests { OnGuiThread, OnWorker };

    explicit QtPollDriver(Requests requests = Requests::OnGuiThread);
    ~QtPollDriver();
    QtPollDriver(const QtPollDriver&) = delete;
    QtPollDriver& operator=(const QtPollDriver&) = delete;

    void Start(LevelEngine& engine) override;
    void Stop() override;
    bool IsRunning() const;

private:
    void OnTick(LevelEngine& engine);
    void Work(LevelEngine& engine);

    const Requests requests_;
    std::unique_ptr<QTimer> timer_;
    // Readings posted to the GUI thread die with it when polling stops.
    std::unique_ptr<QObject> deliveries_;
    std::thread worker_;
    std::mutex mutex_;
    std::condition_variable wake_;
    bool pollWanted_ = false;   // guarded by mutex_
    bool stopping_ = false;     // guarded by mutex_
    bool pollInFlight_ = false; // GUI thread only
    LevelEngine::CardSet cards_{};
};
