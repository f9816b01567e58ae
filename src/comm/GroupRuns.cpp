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

}  // namespace pv::comm
