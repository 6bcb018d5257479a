#pragma once

#include "driver/graph_connection.h"

#include <chrono>

namespace sim {

// A native PipeWire client with a capture stream per bus: input records the default source
// (or the node the setup names), playback the monitor of the default sink
// (stream.capture.sink), output the same as playback unless the setup names a node of its
// own. The session manager links the streams. Null when no server answers in time.
std::unique_ptr<GraphConnection> ConnectPipeWire(const GraphSetup& setup);

// Whether the PipeWire server the setup names answers a round trip within `deadline`; a
// server that accepts the connection but hangs does not stall the caller longer.
bool PipeWireServerAnswers(const GraphSetup& setup, std::chrono::milliseconds deadline);

} // namespace sim
