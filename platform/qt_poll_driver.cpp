#include "platform/qt_poll_driver.h"

#include "device/level_engine.h"

void QtPollDriver::Start(LevelEngine& engine) {
    if (timer_)
        return;
    timer_ = std::make_unique<QTimer>();
    // A coarse timer may fire 5 % off and be batched with other timers; keep the tick even.
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kIntervalMs);
    QObject::connect(timer_.get(), &QTimer::timeout, [&engine] { engine.Poll(); });
    timer_->start();
}

void QtPollDriver::Stop() {
    timer_.reset();
}

bool QtPollDriver::IsRunning() const {
    return timer_ && timer_->isActive();
}
