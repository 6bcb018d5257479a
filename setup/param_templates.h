#pragma once

#include "setup/param_desc.h"

#include <array>
#include <cstddef>
#include <type_traits>

// The choices of both level-type selections: "Peak ", "RMS  ", "OFF  ".
extern const ChoiceText kLevelTypeChoices[3];

inline constexpr size_t kStereoParamCount = 15;
inline constexpr size_t kStereoIndexSize = 45;
inline constexpr size_t kMultiChannelParamCount = 13;
inline constexpr size_t kMultiChannelIndexSize = 43;
inline constexpr int32_t kSetupWindowWidth = 254;
inline constexpr int32_t kSetupWindowHeight = 98;

extern const std::array<ParamDesc, kStereoParamCount> kStereoParamTemplate;
extern const std::array<ParamDesc, kMultiChannelParamCount> kMultiChannelParamTemplate;

// A view's own copy of a template together with its id index. The table points into the
// store, so the store stays where it was built.
template <const auto& Template, size_t IndexSize>
class ParamStore {
public:
    ParamStore() : records_(Template) {
        InitParamTable(table_, records_, index_, kSetupWindowWidth, kSetupWindowHeight);
    }
    ParamStore(const ParamStore&) = delete;
    ParamStore& operator=(const ParamStore&) = delete;

    ParamTable& Table() { return table_; }
    const ParamTable& Table() const { return table_; }

private:
    std::remove_cvref_t<decltype(Template)> records_;
    std::array<ParamDesc*, IndexSize> index_{};
    ParamTable table_;
};

using StereoParamStore = ParamStore<kStereoParamTemplate, kStereoIndexSize>;
using MultiChannelParamStore = ParamStore<kMultiChannelParamTemplate, kMultiChannelIndexSize>;
