#include "driver/graph_card.h"

#include "device/card_probe.h"
#include "driver/little_endian_write.h"

#include <array>
#include <chrono>
#include <cstring>

namespace sim {

namespace dp = driver_protocol;

namespace {

// How often the supervisor looks at a live connection, and retries a missing server.
constexpr auto kMaintainInterval = std::chrono::milliseconds(100);
constexpr auto kRetryInterval = std::chrono::milliseconds(500);

} // namespace

Speed GraphSpeed(int rate) {
    return rate <= 48000 ? Speed::Single : Speed::Double;
}

GraphCard::GraphCard(GraphSetup setup, Connector connect)
    : setup_(std::move(setup)), connect_(std::move(connect)) {
    for (int bus = 0; bus < dp::kBuses; ++bus)
        carried_[bus] = CarriedPairs(kMadiCardKind, carriedSpeed_, bus);
    thread_ = std::thread([this] { Supervise(); });
}

GraphCard::~GraphCard() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

bool GraphCard::WriteCardInfo(int slot, uint8_t* out) const {
    std::lock_guard lock(mutex_);
    if (!AliveLocked())
        return false;
    EncodeCardInfo(slot, kMadiCardKind, GraphSpeed(live_->Rate()), out);
    std::string_view label =
        setup_.backend == GraphBackend::PipeWire ? "PipeWire graph" : "JACK graph";
    std::memcpy(out + dp::kLabelOffset, label.data(), label.size());
    return true;
}

bool GraphCard::ReadLevels(int slot, uint8_t* out) {
    std::lock_guard lock(mutex_);
    if (!AliveLocked())
        return false;
    const dp::LevelBlockLayout& layout = dp::LayoutForSlot(slot);
    std::memset(out, 0, layout.size);
    Speed speed = GraphSpeed(live_->Rate());
    if (speed != carriedSpeed_) {
        carriedSpeed_ = speed;
        for (int bus = 0; bus < dp::kBuses; ++bus)
            carried_[bus] = CarriedPairs(kMadiCardKind, speed, bus);
    }
    std::array<ChannelLevel, LevelTap::kMaxChannels> levels;
    for (int bus = 0; bus < dp::kBuses; ++bus) {
        // Output follows playback, so `levels` still holds playback's for it.
        if (bus != dp::kBuses - 1 || !live_->OutputShowsPlayback())
            live_->Tap(bus).Take(levels);
        for (const CarriedPair& pair : carried_[bus]) {
            for (int side = 0; side < 2; ++side) {
                const ChannelLevel& level = levels[2 * pair.logical + side];
                int driverChannel = 2 * pair.driver + side;
                little_endian::WriteU32(out + layout.peaks[bus] + 4 * driverChannel,
                                        level.peakWord);
                little_endian::WriteU64(out + layout.meanSquares[bus] + 8 * driverChannel,
                                        static_cast<uint64_t>(level.meanSquare));
            }
        }
    }
    return true;
}

std::string GraphCard::Describe() const {
    std::lock_guard lock(mutex_);
    std::string name = std::string("graph ") + GraphBackendName(setup_.backend);
    std::string server = AliveLocked() ? live_->Server() : setup_.server;
    if (!server.empty())
        name += " server " + server;
    if (!AliveLocked())
        return name + ": waiting for the server\n";
    return name + ": " + live_->Describe();
}

void GraphCard::Supervise() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (live_ && !live_->Alive()) {
            // Closing a client may wait for the server; requests meanwhile find no card.
            std::unique_ptr<GraphConnection> dead = std::move(live_);
            lock.unlock();
            dead.reset();
            lock.lock();
            continue;
        }
        if (live_) {
            // Only this thread replaces live_, so it may use it without the lock.
            lock.unlock();
            live_->Maintain();
            lock.lock();
        } else {
            lock.unlock();
            std::unique_ptr<GraphConnection> fresh = connect_(setup_);
            lock.lock();
            live_ = std::move(fresh);
        }
        wake_.wait_for(lock, live_ ? kMaintainInterval : kRetryInterval,
                       [this] { return stopping_; });
    }
    std::unique_ptr<GraphConnection> last = std::move(live_);
    lock.unlock();
}

} // namespace sim
