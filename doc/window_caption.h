#pragma once

#include "device/channel_selection.h"

#include <cstdint>
#include <string>

// The caption of a meter window: "Ostrel Levora - <function title>", then what the window
// meters, so that windows can be told apart in a task bar: " - <card> <bus>" and, for the
// stereo and multi-channel meters, " <pair or group>", each by the name the Channel Setup
// lists show ("Ostrel Levora - Stereo Level Meter - Kestrel Orvo (1) Input 1+2"). A card that
// did not answer is named by its family and slot number ("MADI slot 1"), without channels,
// whose names depend on the model. A function outside the table gives "Ostrel Levora" alone.
std::string WindowCaption(int32_t function, const ChannelSelection& selection);
