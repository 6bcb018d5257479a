#pragma once

#include <cstddef>
#include <cstdint>

// What the fuzz targets feed arbitrary bytes to; the replay test runs the same functions
// over the seed corpus, so every fuzz finding becomes a regression case.
namespace fuzz_inputs {

// One setup block: header lines, font line and parameter lines of the block's function.
void SetupBlock(const uint8_t* data, size_t size);

// A workspace file: setup blocks one after another until one does not read.
void Workspace(const uint8_t* data, size_t size);

// Parameter lines read into both parameter tables.
void ParamLines(const uint8_t* data, size_t size);

} // namespace fuzz_inputs
