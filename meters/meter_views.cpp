#include "meters/meter_views.h"

#include "meters/vexa_level2_view.h"
#include "meters/vexa_level8_view.h"

CVexaView* CreateMeterView(int32_t function, Profile& profile) {
    // The multi-channel and the global meter share one view class.
    if (function == 0)
        return new CVexaLevel2View(profile);
    return new CVexaLevel8View(profile);
}
