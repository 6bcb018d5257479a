#pragma once

#include <string>

// The user's own card configuration, which the daemon serves when its command line names
// neither a configuration file nor a card, so that a service started at login needs no
// arguments.
namespace sim {

// $XDG_CONFIG_HOME/levora/cards.conf, else $HOME/.config/levora/cards.conf; empty when
// neither variable is set. Relative values are ignored, as the base directory rules say.
std::string UserConfigFile(const std::string& configHome, const std::string& home);

// The same from this process's environment, and only when the file exists.
std::string ExistingUserConfigFile();

} // namespace sim
