#include "driver/card_layout.h"

#include "device/channel_names.h"
#include "device/driver_protocol.h"

namespace sim {

std::vector<CarriedPair> CarriedPairs(int kind, Speed speed, int bus) {
    ChannelSelection selection;
    selection.cardKind = kind;
    selection.rateCode = RateCode(speed);
    selection.BusType = bus;
    int pairsInBlock = driver_protocol::kMadiLayout.channelsPerBus / 2;
    std::vector<CarriedPair> pairs;
    for (int pair = 0; pair < pairsInBlock; ++pair) {
        selection.ChanNumber = pair;
        if (ChannelNames::IsPairActive(selection))
            pairs.push_back({pair, ChannelNames::DriverPair(selection, pair)});
    }
    return pairs;
}

} // namespace sim
