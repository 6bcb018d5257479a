#include "driver/graph_connection.h"
#include "driver/jack_graph.h"

namespace sim {

std::unique_ptr<GraphConnection> ConnectGraph(const GraphSetup& setup) {
    return ConnectJack(setup);
}

} // namespace sim
