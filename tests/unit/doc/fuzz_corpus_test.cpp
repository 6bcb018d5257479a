#include "../../fuzz/fuzz_inputs.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace {

namespace fs = std::filesystem;

using Target = void (*)(const uint8_t*, size_t);

struct Corpus {
    const char* name;
    Target target;
};

class FuzzCorpus : public testing::TestWithParam<Corpus> {};

// Every input the fuzzers were seeded with or found stays a regression case.
TEST_P(FuzzCorpus, ReplaysWithoutFault) {
    const fs::path dir = fs::path(LEVORA_FUZZ_CORPUS) / GetParam().name;
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        GetParam().target(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
        ++files;
    }
    EXPECT_GT(files, 3) << dir;
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzCorpus,
                         testing::Values(Corpus{"setup_block", fuzz_inputs::SetupBlock},
                                         Corpus{"workspace", fuzz_inputs::Workspace},
                                         Corpus{"param_lines", fuzz_inputs::ParamLines}),
                         [](const testing::TestParamInfo<Corpus>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
