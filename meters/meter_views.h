#pragma once

#include <cstdint>

class CVexaView;
class Profile;

// A new meter view of the function's class, not yet attached to a document or a window.
CVexaView* CreateMeterView(int32_t function, Profile& profile);
