#pragma once

#include "driver/card_model.h"

#include <vector>

namespace sim {

// A channel pair that carries audio: its number as the program shows it, and the pair of the
// level block under which the driver delivers it (they differ only for kind 1).
struct CarriedPair {
    int logical;
    int driver;
};

// The pairs of a bus that a card of this kind carries at this speed, in logical order.
std::vector<CarriedPair> CarriedPairs(int kind, Speed speed, int bus);

} // namespace sim
