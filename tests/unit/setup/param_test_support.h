#pragma once

#include "setup/param_desc.h"
#include "setup/param_templates.h"

#include <gtest/gtest.h>

inline void ClearFlags(ParamTable& table) {
    for (ParamDesc& record : table.records)
        record.flags = 0;
}

// A stereo table without the marks of its initialisation, so a test sees only those it causes.
class StereoParamsTest : public testing::Test {
protected:
    StereoParamsTest() { ClearFlags(Table()); }
    ParamTable& Table() { return store_.Table(); }
    ParamDesc& Record(int32_t id) { return *FindParamById(Table(), id); }

    StereoParamStore store_;
};
