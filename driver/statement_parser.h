#pragma once

#include "driver/card_config.h"

#include <span>
#include <string>
#include <string_view>
#include <vector>

// The words of the configuration and control lines, shared by the file parser and the
// control socket so that both accept exactly the same spelling.
namespace sim {

using Words = std::vector<std::string_view>;

// Splits at blanks and tabs; a '#' starts a comment that runs to the end of the line.
Words SplitWords(std::string_view line);

bool ParseSlotWord(std::string_view word, int& slot, std::string& error);
bool ParseKindWord(std::string_view word, int& kind, std::string& error);
bool ParseSpeedWord(std::string_view word, Speed& speed, std::string& error);

// "SLOT BUS CHANNELS SOURCE [ARGS]", the words after "signal".
bool ParseSignalWords(std::span<const std::string_view> words, int& slot,
                      SignalAssignment& assignment, std::string& error);

} // namespace sim
