#pragma once

#include "device/driver_transport.h"
#include "driver/driver_directory.h"
#include "platform/socket_transport.h"

#include <memory>
#include <string>

// Where the program gets its cards from, decided once at start-up.
struct DriverChoice {
    std::unique_ptr<DriverTransport> transport;
    bool embedded = false; // the simulated demo cards inside the program
    std::string directory; // the driver directory otherwise
};

// $LEVORA_DRIVER_DIR set: the driver there, whether it runs yet or not; when none of its
// slots answers yet, `warn` is told so once. Otherwise the driver in the default directory
// when one of its six slots answers, else the embedded cards: the demo cards, with a graph
// card in slot 0 as `graph` says: "jack" or "jack:SERVER" (whether it runs yet or not),
// "" (when the default JACK server answers now) or "none".
DriverChoice ChooseDriverTransport(const sim::DirectoryEnvironment& environment,
                                   const SocketTransport::Warn& warn,
                                   const std::string& graph = "none");
// From the process's environment ($LEVORA_GRAPH for `graph`), warning on stderr.
DriverChoice ChooseDriverTransport();
