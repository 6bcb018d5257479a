#include "driver/graph_connection.h"
#include "driver/jack_graph.h"

namespace sim {

std::unique_ptr<GraphConnection> ConnectGraph(const GraphSetup& setup) {
    switch (setup.api) {
    case GraphApi::Jack:
        return ConnectJack(setup);
    case GraphApi::PipeWire:
        break;
    }
    return nullptr;
}

} // namespace sim
