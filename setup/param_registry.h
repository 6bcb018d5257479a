#pragma once

#include "platform/profile.h"
#include "setup/param_desc.h"

#include <string_view>

// The registry copy of a table: one profile integer per stored record, named by the record,
// holding the value in hundredths truncated toward zero (so 2.3 comes back as 2.29).

void SaveParamsToRegistry(const ParamTable& table, Profile& profile, std::string_view section);

// Values read are clamped like any other; an absent value gives the record's default.
void LoadParamsFromRegistry(ParamTable& table, const Profile& profile, std::string_view section);
