#pragma once

#include "device/channel_selection.h"
#include "device/control_device.h"

#include <array>
#include <cstdint>
#include <string>

// Rate codes: positions in the sample-rate name table; rate code / 3 is the speed class.
inline constexpr int32_t kRateNoCard = 0;
inline constexpr int32_t kRateSingle = 1;
inline constexpr int32_t kRateDouble = 5;
inline constexpr int32_t kRateQuad = 7;

inline constexpr int32_t kNoCardKind = -1;
inline constexpr int32_t kMadiCardKind = 7;

// The Windows-style device name of a card slot, for example "\\.\madiOut32".
using DeviceName = std::array<char, 256>;

// Writes the device name of `slot` into `name`; false and an empty name for a slot outside
// 0..5.
bool FormatDeviceName(int slot, DeviceName& name);

// Asks the card in `slot` for its CardInfo and returns its rate code (kRateNoCard when the
// device is missing, refuses, answers short or with a foreign magic). `name` keeps the slot's
// device name for a following level read. `kind`, when given, receives the card kind only
// when the card answers.
int32_t ProbeCard(const ControlDevice& device, DeviceName& name, int slot, int32_t* kind);

// Probes selection.CardNumber, stores the rate code and the card kind (kNoCardKind when
// nothing answers) into the selection and returns the kind.
int32_t ProbeSelection(const ControlDevice& device, ChannelSelection& selection);

// The label the driver gives the card in `slot` (printable ASCII up to the first zero byte),
// or "" when it gives none or the card does not answer.
std::string ProbeCardLabel(const ControlDevice& device, int slot);
