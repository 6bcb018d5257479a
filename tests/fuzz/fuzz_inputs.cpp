#include "fuzz_inputs.h"

#include "doc/line_archive.h"
#include "doc/setup_block.h"
#include "setup/param_lines.h"
#include "setup/param_templates.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace fuzz_inputs {

namespace {

using StereoParams = ParamStore<kStereoParamTemplate, kStereoIndexSize>;
using MultiParams = ParamStore<kMultiChannelParamTemplate, kMultiChannelIndexSize>;

// What the reading promises whatever the input: every value finite and within its range.
void CheckTable(const ParamTable& table) {
    for (const ParamDesc& record : table.records) {
        if (!IsStoredParam(record))
            continue;
        if (!std::isfinite(record.value) || record.value < record.min || record.value > record.max)
            std::abort();
    }
}

void CheckFont(const LOGFONT& font) {
    if (font.lfFaceName[LOGFONT::kFaceNameMax] != '\0')
        std::abort();
}

// Reads one block; false when the input holds no further setup block.
bool ReadBlock(LineReader& archive) {
    SetupHeader header;
    const int32_t function = ReadSetupHeaderLines(archive, header);
    if (function < 0)
        return false;
    if (header.CardNumber < 0 || header.CardNumber > 5 || header.BusType < 0 ||
        header.BusType > 2 || header.ChanNumber < 0 || header.ChanNumber > 63)
        std::abort();
    std::string line;
    archive.ReadLine(line);
    LOGFONT font = MakeArialFont(-13);
    ReadFontLine(line, font);
    CheckFont(font);
    if (function == 0) {
        StereoParams params;
        ReadParamLines(params.Table(), archive);
        CheckTable(params.Table());
    } else {
        MultiParams params;
        ReadParamLines(params.Table(), archive);
        CheckTable(params.Table());
    }
    return true;
}

LineReader Reader(const uint8_t* data, size_t size) {
    return LineReader(std::string(reinterpret_cast<const char*>(data), size));
}

} // namespace

void SetupBlock(const uint8_t* data, size_t size) {
    LineReader archive = Reader(data, size);
    ReadBlock(archive);
}

void Workspace(const uint8_t* data, size_t size) {
    LineReader archive = Reader(data, size);
    std::string discard;
    // The program opens at most 40 windows; the blocks beyond are never read.
    for (int window = 0; window < 40 && ReadBlock(archive); ++window)
        archive.ReadLine(discard);
}

void ParamLines(const uint8_t* data, size_t size) {
    StereoParams stereo;
    LineReader first = Reader(data, size);
    ReadParamLines(stereo.Table(), first);
    CheckTable(stereo.Table());
    MultiParams multi;
    LineReader second = Reader(data, size);
    ReadParamLines(multi.Table(), second);
    CheckTable(multi.Table());
}

} // namespace fuzz_inputs
