#include "comm/GroupRuns.h"

#include "comm/ModbusFrames.h"
#include "project/ParamAttr.h"

namespace pv::comm {

std::vector<RegisterRun> ReadRunsOfGroup(const ParamGroup& group) {
    std::vector<RegisterRun> runs;
    const auto& params = group.params;
    auto readable = [&](int i) { return params[i].defined != 0 && readByTransfer(params[i].attr); };
    for (int i = 0; i < static_cast<int>(params.size()); ++i)
        if (readable(i) && hasFlag(params[i].attr, FlagReadFirst)) runs.push_back({i, 1});
    RegisterRun run;
    for (int i = 0; i < static_cast<int>(params.size()); ++i) {
        if (!readable(i)) continue;
        const bool extends = run.count > 0 && run.first + run.count == i &&
                             run.count < kMaxReadBlock &&
                             !hasFlag(params[i].attr, FlagReadRunStart);
        if (extends) {
            ++run.count;
            continue;
        }
        if (run.count > 0) runs.push_back(run);
        run = {i, 1};
    }
    if (run.count > 0) runs.push_back(run);
    return runs;
}

bool HasHiddenGroups(const ParamTable& table) {
    if (static_cast<int>(table.groups.size()) <= kHiddenGroupLast) return false;
    for (int g = kHiddenGroupFirst; g <= kHiddenGroupLast; ++g)
        if (table.groups[g].defined == 0) return false;
    return true;
}

void AppendHiddenGroups(ParamTable& table) {
    while (static_cast<int>(table.groups.size()) <= kHiddenGroupLast)
        table.groups.push_back(MakeFillerGroup(static_cast<int>(table.groups.size())));
    // A project file may already carry set values of these groups: keep them.
    for (int g = kHiddenGroupFirst; g <= kHiddenGroupLast; ++g) {
        ParamGroup& group = table.groups[g];
        group.defined = 1;
        for (int i = 0; i < kHiddenGroupParams; ++i) {
            ParamRecord& r = group.params[i];
            r.defined = 1;
            r.valueKind = static_cast<int32_t>(ValueKind::Integer);
            r.attr = {};
            r.attr[AttrMax] = 0xFFFF;
            r.attr[AttrNarrowMax] = 0xFFFF;
            r.auxText = "0~65535";
        }
    }
}

}  // namespace pv::comm
