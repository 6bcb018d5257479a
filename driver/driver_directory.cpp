#include "driver/driver_directory.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace sim {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string OctalMode(mode_t mode) {
    char text[8];
    std::snprintf(text, sizeof text, "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

} // namespace

DirectoryEnvironment CurrentDirectoryEnvironment() {
    std::error_code ignored;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ignored);
    return {Environment("LEVORA_DRIVER_DIR"), Environment("XDG_RUNTIME_DIR"),
            temp.empty() ? "/tmp" : temp.string(), static_cast<unsigned>(getuid())};
}

std::string ResolveDriverDirectory(const DirectoryEnvironment& environment) {
    if (!environment.driverDir.empty())
        return environment.driverDir;
    if (!environment.runtimeDir.empty())
        return environment.runtimeDir + "/levora-driver";
    return (std::filesystem::path(environment.tempDir) /
            ("levora-driver-" + std::to_string(environment.uid)))
        .string();
}

DirectoryState CheckDriverDirectory(const std::string& path, std::string& why) {
    struct stat status {};
    if (stat(path.c_str(), &status) < 0) {
        why = path + " does not exist";
        return DirectoryState::Missing;
    }
    if (!S_ISDIR(status.st_mode)) {
        why = path + " is not a directory";
        return DirectoryState::Untrusted;
    }
    if (status.st_uid != geteuid()) {
        why = path + " belongs to user " + std::to_string(status.st_uid) + ", not to user " +
              std::to_string(geteuid());
        return DirectoryState::Untrusted;
    }
    if ((status.st_mode & 077) != 0) {
        why = path + " is open to group or others (mode " + OctalMode(status.st_mode) +
              ", needs 0700)";
        return DirectoryState::Untrusted;
    }
    return DirectoryState::Usable;
}

} // namespace sim
