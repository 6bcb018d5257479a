#include "driver/user_config.h"

#include <cstdlib>
#include <sys/stat.h>

namespace sim {

namespace {

bool IsAbsolute(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

} // namespace

std::string UserConfigFile(const std::string& configHome, const std::string& home) {
    if (IsAbsolute(configHome))
        return configHome + "/levora/cards.conf";
    if (IsAbsolute(home))
        return home + "/.config/levora/cards.conf";
    return "";
}

std::string ExistingUserConfigFile() {
    const char* configHome = std::getenv("XDG_CONFIG_HOME");
    const char* home = std::getenv("HOME");
    std::string path = UserConfigFile(configHome ? configHome : "", home ? home : "");
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) < 0 || !S_ISREG(status.st_mode))
        return "";
    return path;
}

} // namespace sim
