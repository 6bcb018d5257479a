#pragma once

#include <string>
#include <string_view>

// Number texts of the setup files and the setup window. They must not follow the process
// locale (Qt sets it from the environment), so a file written under a German locale still
// says "-3.000000" and reads back.

// The text C printf gives for "%.*f" in the "C" locale; decimals is taken as 0..20.
std::string FormatFixed(double value, int decimals);

// A number at the start of `text` as C scanf "%lf" reads it in the "C" locale: leading
// white space skipped, then a decimal or hexadecimal number, the rest ignored. Only finite
// numbers are accepted: "inf", "nan" and numbers beyond the double range give false.
bool ParseFiniteNumber(std::string_view text, double& value);
