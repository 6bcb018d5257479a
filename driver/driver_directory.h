#pragma once

#include <string>

// Where the driver's sockets live, and whether that directory can be trusted: it must belong
// to this user and be closed to everyone else, or anybody could feed the program levels.
namespace sim {

struct DirectoryEnvironment {
    std::string driverDir;  // $LEVORA_DRIVER_DIR, empty when unset
    std::string runtimeDir; // $XDG_RUNTIME_DIR, empty when unset
    std::string tempDir;    // the system's temporary directory
    unsigned uid = 0;
};

DirectoryEnvironment CurrentDirectoryEnvironment();

// $LEVORA_DRIVER_DIR, else $XDG_RUNTIME_DIR/levora-driver, else levora-driver-<uid> in the
// temporary directory.
std::string ResolveDriverDirectory(const DirectoryEnvironment& environment);

enum class DirectoryState { Usable, Missing, Untrusted };

// Usable: a directory of this user without any group or other permission. `why` explains an
// untrusted one (another owner, open mode, not a directory).
DirectoryState CheckDriverDirectory(const std::string& path, std::string& why);

} // namespace sim
