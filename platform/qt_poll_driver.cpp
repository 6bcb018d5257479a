#include "platform/qt_poll_driver.h"

QtPollDriver::QtPollDriver(Requests requests) : requests_(requests) {}

QtPollDriver::~QtPollDriver() {
    Stop();
}

void QtPollDriver::Start(LevelEngine& engine) {
    if (timer_)
        return;
    timer_ = std::make_unique<QTimer>();
    // A coarse timer may fire 5 % off and be batched with other timers; keep the tick even.
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kIntervalMs);
    if (requests_ == Requests::OnWorker) {
        deliveries_ = std::make_unique<QObject>();
        stopping_ = false;
        worker_ = std::thread([this, &engine] { Work(engine); });
    }
    QObject::connect(timer_.get(), &QTimer::timeout, [this, &engine] { OnTick(engine); });
    timer_->start();
}

void QtPollDriver::Stop() {
    timer_.reset();
    if (worker_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_one();
        worker_.join();
    }
    deliveries_.reset();
    pollWanted_ = false;
    pollInFlight_ = false;
}

bool QtPollDriver::IsRunning() const {
    return timer_ && timer_->isActive();
}

void QtPollDriver::OnTick(LevelEngine& engine) {
    if (requests_ == Requests::OnGuiThread) {
        engine.Poll();
        return;
    }
    if (pollInFlight_)
        return;
    pollInFlight_ = true;
    {
        const std::lock_guard lock(mutex_);
        cards_ = engine.CardsToRead();
        pollWanted_ = true;
    }
    wake_.notify_one();
}

void QtPollDriver::Work(LevelEngine& engine) {
    for (;;) {
        LevelEngine::CardSet cards;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return pollWanted_ || stopping_; });
            if (stopping_)
                return;
            pollWanted_ = false;
            cards = cards_;
        }
        auto readings = std::make_shared<LevelEngine::PollReadings>();
        engine.Gather(cards, *readings);
        QMetaObject::invokeMethod(
            deliveries_.get(),
            [this, &engine, readings] {
                pollInFlight_ = false;
                engine.Deliver(*readings);
            },
            Qt::QueuedConnection);
    }
}
