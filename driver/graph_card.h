#pragma once

#include "driver/card_layout.h"
#include "driver/card_model.h"
#include "driver/graph_connection.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace sim {

// A MADI-family card (kind 7) whose levels come from a live audio graph. A thread of its own
// connects to the server, keeps the wiring and notices when the server goes away; until it
// is connected again the card does not answer, as an empty slot. Requests never wait for the
// server: they read what the audio thread handed over.
class GraphCard {
public:
    using Connector = std::function<std::unique_ptr<GraphConnection>(const GraphSetup&)>;

    explicit GraphCard(GraphSetup setup, Connector connect = ConnectGraph);
    ~GraphCard();
    GraphCard(const GraphCard&) = delete;
    GraphCard& operator=(const GraphCard&) = delete;

    const GraphSetup& Setup() const { return setup_; }

    // False while no server serves the card; `out` is written only when it answers.
    bool WriteCardInfo(int slot, uint8_t* out) const;
    bool ReadLevels(int slot, uint8_t* out);

    // What the card is connected to, or that it waits for its server.
    std::string Describe() const;

private:
    void Supervise();
    bool AliveLocked() const { return live_ && live_->Alive(); }

    const GraphSetup setup_;
    const Connector connect_;
    mutable std::mutex mutex_; // guards live_ against the supervisor replacing it
    std::condition_variable wake_;
    bool stopping_ = false;
    std::unique_ptr<GraphConnection> live_;
    // The pairs a read writes, worked out again only when the speed changes.
    Speed carriedSpeed_ = Speed::Single;
    std::array<std::vector<CarriedPair>, driver_protocol::kBuses> carried_;
    std::thread thread_;
};

// The speed mode of a graph running at `rate` Hz: up to 48 kHz single, above that double.
// A MADI card reports no quad speed, so faster graphs read as double speed too.
Speed GraphSpeed(int rate);

} // namespace sim
