#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

// The models and speed modes a simulated card can have, and how a card tells the program
// about them in its CardInfo reply.
namespace sim {

enum class Speed { Single, Double, Quad };

inline constexpr int kMinKind = 0;
inline constexpr int kMaxKind = 7;

std::string_view SpeedName(Speed speed);
// "input", "playback", "output" for buses 0..2.
std::string_view BusName(int bus);
std::optional<Speed> ParseSpeed(std::string_view text);

// The rate the program names for the speed code the card reports ("44.1kHz", "96kHz",
// "192kHz"), so that the simulated signals match what the program shows.
int SampleRate(Speed speed);

// rateCode as the program's probe derives it: kRateSingle, kRateDouble or kRateQuad.
int RateCode(Speed speed);

// Kind 7 lives in the MADI slots 0..2, kinds 0..6 in the Kestrel slots 3..5.
bool KindFitsSlot(int kind, int slot);

// Quad speed can only be reported by the Kestrel models with a revision of 150 and above
// (kinds 2..5); for the others the status bit is not looked at.
bool SpeedIsReportable(int kind, Speed speed);

// Writes the 92-byte CardInfo of a card of this kind and speed in this slot: magic,
// revision, status, option and model words at their offsets, every other byte zero.
// Only for combinations that fit the slot and are reportable.
void EncodeCardInfo(int slot, int kind, Speed speed, uint8_t* out);

} // namespace sim
