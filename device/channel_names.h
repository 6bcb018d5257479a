#pragma once

#include "device/channel_selection.h"

#include <cstdint>
#include <span>

// The channel layouts of the card models and the names of their pairs and groups. Every
// query reads only the selection's cardKind, rateCode, BusType, ChanNumber and GroupNumber.
namespace ChannelNames {

// Pairs a bus carries at single speed: the length of the pair-name list at every speed.
int32_t PairCount(const ChannelSelection& selection);

// Pairs that still carry audio at the selection's speed.
int32_t ActivePairCount(const ChannelSelection& selection);

// Whether pair ChanNumber carries audio at the selection's speed.
bool IsPairActive(const ChannelSelection& selection);

// Copies the name of pair ChanNumber into `text`; false, with `text` untouched, when the card
// has no such pair or `text` cannot hold the name and its terminator.
bool PairName(const ChannelSelection& selection, std::span<char> text);

// The same for group GroupNumber.
bool GroupName(const ChannelSelection& selection, std::span<char> text);

// First pair of group GroupNumber; -1 when the card has no such group, 0 for no card.
int32_t GroupFirstPair(const ChannelSelection& selection);

// The pair index under which the driver delivers logical pair `logicalPair`.
int32_t DriverPair(const ChannelSelection& selection, int32_t logicalPair);

// The card list's name format of a model ("Kestrel Zento (%i)"), nullptr for no model.
const char* ModelNameFormat(int32_t cardKind);

// A card's number within its family, 1..3, as its name shows it; 0 for no slot.
int32_t FamilyNumber(int32_t slot);

// The card list's name of the selection's card: its model and its number within the family
// ("Kestrel Orvo (2)" for a MADI card in slot 1). False, with `text` untouched, when the
// selection has no model or `text` cannot hold the name.
bool CardName(const ChannelSelection& selection, std::span<char> text);

// "Input", "Playback" or "Output"; nullptr for another bus.
const char* BusName(int32_t bus);

} // namespace ChannelNames
