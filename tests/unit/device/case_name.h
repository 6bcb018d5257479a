#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

// Names a parameterised case after its `what` text, as GoogleTest wants: letters, digits, _.
template <typename Case>
std::string CaseName(const testing::TestParamInfo<Case>& info) {
    std::string name = info.param.what;
    for (char& c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    }
    return name;
}
