#include "platform/qt_poll_driver.h"

#include "device/level_engine.h"
#include "platform/tick_source.h"
#include "tests/unit/device/fake_transport.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

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

} // namespace
