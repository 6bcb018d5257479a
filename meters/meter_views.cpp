#include "meters/meter_views.h"

#include "meters/plain_meter_view.h"

CVexaView* CreateMeterView(int32_t function, Profile& profile) {
    return new PlainMeterView(function, profile);
}
