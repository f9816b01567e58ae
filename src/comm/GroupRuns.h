#pragma once
// Which registers a group transfer touches, derived from the parameter database: the function-03
// requests that read a group (runs of consecutive defined registers, split where the drive's
// register blocks end and at 32 registers), and the hidden groups 25..28 that a project gains once
// it transfers them.

#include <vector>

#include "project/HiddenGroups.h"
#include "project/ParamTable.h"

namespace pv::comm {

// One function-03 request: first index of the group and the number of registers.
struct RegisterRun {
    int first = 0;
    int count = 0;
    bool operator==(const RegisterRun&) const = default;
};

using ::pv::kHiddenGroupParams;
// The parameter groups of the drive that Read and auto refresh read.
inline constexpr int kLastDriveGroup = 23;

// The requests that read `group`, in order. A parameter that others depend on for their
// display (00-63: limits in hertz or percent) is read alone first and again in its place.
std::vector<RegisterRun> ReadRunsOfGroup(const ParamGroup& group);

using ::pv::AppendHiddenGroups;
using ::pv::HasHiddenGroups;

}  // namespace pv::comm
