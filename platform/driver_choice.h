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
// when one of its six slots answers, else the embedded demo cards.
DriverChoice ChooseDriverTransport(const sim::DirectoryEnvironment& environment,
                                   const SocketTransport::Warn& warn);
// From the process's environment, warning on stderr.
DriverChoice ChooseDriverTransport();
