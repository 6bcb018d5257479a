#pragma once

#include "doc/line_archive.h"
#include "setup/param_desc.h"

// The parameter lines of a setup file: "name=value" with the value printed as C "%f" does.

// One line per stored record, in slot order; nothing else is written.
void WriteParamLines(const ParamTable& table, LineWriter& archive);

// Applies lines until an empty line (consumed) or the end of input. A line belongs to the
// first record whose name starts it; the one character after the name is skipped whatever it
// is. Lines that match no record or carry no finite number are ignored.
void ReadParamLines(ParamTable& table, LineReader& archive);
