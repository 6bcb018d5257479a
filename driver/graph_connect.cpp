#include "driver/graph_connection.h"
#include "driver/jack_graph.h"
#include "driver/pipewire_graph.h"

namespace sim {

const char* GraphBackendName(GraphBackend backend) {
    return backend == GraphBackend::PipeWire ? "pipewire" : "jack";
}

std::unique_ptr<GraphConnection> ConnectGraph(const GraphSetup& setup) {
    if (setup.backend == GraphBackend::PipeWire)
        return ConnectPipeWire(setup);
    return ConnectJack(setup);
}

} // namespace sim
