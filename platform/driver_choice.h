#pragma once

#include "device/driver_transport.h"
#include "driver/driver_directory.h"

#include <memory>
#include <string>

// Where the program gets its cards from, decided once at start-up.
struct DriverChoice {
    std::unique_ptr<DriverTransport> transport;
    bool embedded = false; // the simulated demo cards inside the program
    std::string directory; // the driver directory otherwise
};

// $LEVORA_DRIVER_DIR set: the driver there, whether it runs yet or not. Otherwise the driver
// in the default directory when one of its six slots answers, else the embedded demo cards.
DriverChoice ChooseDriverTransport(const sim::DirectoryEnvironment& environment);
DriverChoice ChooseDriverTransport();
