#include "platform/qt_poll_driver.h"

#include "device/level_engine.h"
#include "platform/tick_source.h"
#include "tests/unit/device/fake_transport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace {

class CountingListener final : public LevelListener {
public:
    void OnLevelReport(const LevelReport& report, int32_t) override {
        ++reports;
        lastElapsed = report.elapsed;
    }
    int reports = 0;
    double lastElapsed = 0;
};

// Runs the event loop until `done` holds; false when it did not within the timeout.
bool RunEventsUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    }
    return true;
}

class QtPollDriverTest : public testing::Test {
protected:
    QtPollDriverTest() { transport.AddCard(0, fake::MadiInfo()); }

    fake::FakeTransport transport;
    SteadyTickSource ticks;
    QtPollDriver driver;
    std::unique_ptr<LevelEngine> engine = std::make_unique<LevelEngine>(transport, ticks, &driver);
    CountingListener listener;
    ChannelSelection selection;
};

TEST_F(QtPollDriverTest, NotRunningBeforeTheFirstRegistration) {
    EXPECT_FALSE(driver.IsRunning());
    QCoreApplication::processEvents();
    EXPECT_EQ(transport.requests, 0);
}

TEST_F(QtPollDriverTest, FirstRegistrationStartsPollsOnTheEventLoop) {
    engine->RegisterView(LevelEngine::kStereoMeter, selection, &listener);
    EXPECT_TRUE(driver.IsRunning());
    EXPECT_EQ(listener.reports, 0); // the first poll comes from the timer, not the registration
    ASSERT_TRUE(RunEventsUntil([this] { return listener.reports >= 3; }));
    EXPECT_GE(listener.lastElapsed, 0.005);
    EXPECT_LE(listener.lastElapsed, 1.0);
}

TEST_F(QtPollDriverTest, DestroyedEngineStopsTheTimer) {
    engine->RegisterView(LevelEngine::kStereoMeter, selection, &listener);
    ASSERT_TRUE(RunEventsUntil([this] { return listener.reports >= 1; }));
    engine.reset();
    EXPECT_FALSE(driver.IsRunning());
    // Several periods of events: a timer left behind would poll the destroyed engine.
    const int requests = transport.requests;
    RunEventsUntil([] { return false; }, 5 * QtPollDriver::kIntervalMs);
    EXPECT_EQ(transport.requests, requests);
}

// A driver whose requests wait, once held, until released (or 2 s passed).
class HeldTransport final : public DriverTransport {
public:
    bool Request(const char* deviceName, uint32_t code, const void* in, uint32_t inSize, void* out,
                 uint32_t outSize, uint32_t* bytesReturned) override {
        {
            std::unique_lock lock(mutex_);
            if (hold_) {
                waiting = true;
                released_.wait_for(lock, std::chrono::seconds(2), [this] { return !hold_; });
                waiting = false;
            }
        }
        return inner.Request(deviceName, code, in, inSize, out, outSize, bytesReturned);
    }
    void Hold() {
        const std::lock_guard lock(mutex_);
        hold_ = true;
    }
    void Release() {
        {
            const std::lock_guard lock(mutex_);
            hold_ = false;
        }
        released_.notify_all();
    }

    fake::FakeTransport inner;
    std::atomic<bool> waiting = false;

private:
    std::mutex mutex_;
    std::condition_variable released_;
    bool hold_ = false;
};

// A slow driver held the GUI thread for each whole poll (six slots answering in 3 ms kept it
// 88 % busy).
TEST(QtPollDriverOnWorker, ARequestWaitingAtTheDriverLeavesTheEventLoopRunning) {
    HeldTransport transport;
    transport.inner.AddCard(0, fake::MadiInfo());
    SteadyTickSource ticks;
    QtPollDriver driver(QtPollDriver::Requests::OnWorker);
    LevelEngine engine(transport, ticks, &driver);
    CountingListener listener;
    ChannelSelection selection;
    engine.RegisterView(LevelEngine::kStereoMeter, selection, &listener);
    transport.Hold();
    bool seenWaiting = false;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, [&] { seenWaiting |= transport.waiting.load(); });
    look.start(1);
    EXPECT_TRUE(RunEventsUntil([&] { return seenWaiting; }));
    const int reportsWhileHeld = listener.reports;
    transport.Release();
    EXPECT_TRUE(RunEventsUntil([&] { return listener.reports > reportsWhileHeld; }));
}

} // namespace
