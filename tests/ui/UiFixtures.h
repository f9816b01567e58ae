#pragma once
// Small parameter tables built in memory, so the list and printout tests do not depend on the
// contents of the data files.

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "project/ParamTable.h"

namespace pv::ui::test {

// Defines the records `indexes` of group g (group defined, named "GG-XX Name").
inline void defineGroup(ParamTable& t, int g, const std::vector<int>& indexes) {
    while (int(t.groups.size()) <= g) t.groups.push_back(MakeFillerGroup(int(t.groups.size())));
    auto& group = t.groups[g];
    group.defined = 1;
    group.name = FormatGroupCode(g) + " Group " + std::to_string(g);
    for (int i : indexes) {
        auto& r = group.params[i];
        r.defined = 1;
        r.label = FormatParamCode(g, i) + " Parameter " + std::to_string(i);
        r.defaultValue = std::to_string(i);
        r.setValue = std::to_string(100 + i);
        t.paramDefined[g][i] = 1;
    }
}

inline std::vector<int> range(int first, int last) {
    std::vector<int> v;
    for (int i = first; i <= last; ++i) v.push_back(i);
    return v;
}

// 24 defined groups; group g defines `perGroup[g]` records 0..n-1.
inline ParamTable tableWithCounts(const std::vector<int>& perGroup) {
    ParamTable t;
    for (int g = 0; g < int(perGroup.size()); ++g) defineGroup(t, g, range(0, perGroup[g] - 1));
    return t;
}

}  // namespace pv::ui::test
