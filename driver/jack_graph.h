#pragma once

#include "driver/graph_connection.h"

namespace sim {

// A JACK client with an input port per channel and bus ("input_1" .. "playback_64"; output
// ports only when the setup names what output taps, else output shows playback), wired to
// what each bus taps and rewired whenever ports or connections change. Null when no server
// of that name runs.
std::unique_ptr<GraphConnection> ConnectJack(const GraphSetup& setup);

// Whether the JACK server the setup names runs now (a client connects and leaves at once).
bool JackServerAnswers(const GraphSetup& setup);

} // namespace sim
