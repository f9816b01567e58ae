#include "project/HiddenGroups.h"

#include "project/ParamAttr.h"

namespace pv {

bool HasHiddenGroups(const ParamTable& table) {
    if (static_cast<int>(table.groups.size()) <= kHiddenGroupLast) return false;
    for (int g = kHiddenGroupFirst; g <= kHiddenGroupLast; ++g)
        if (table.groups[g].defined == 0) return false;
    return true;
}

void AppendHiddenGroups(ParamTable& table) {
    while (static_cast<int>(table.groups.size()) <= kHiddenGroupLast)
        table.groups.push_back(MakeFillerGroup(static_cast<int>(table.groups.size())));
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

}  // namespace pv
