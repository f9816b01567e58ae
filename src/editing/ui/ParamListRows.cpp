#include "editing/ui/ParamListRows.h"

namespace pv::ui {

namespace {
bool groupShown(const ParamTable& table, int g) {
    return g >= 0 && g < int(table.groups.size()) && table.groups[g].defined != 0;
}

template <typename Visit>
void forEachRow(const ParamTable& table, int selectedGroup, Visit visit) {
    int first = 0, last = -1;
    if (selectedGroup == -1) {
        last = kListedGroups - 1;
    } else if (selectedGroup >= 0 && selectedGroup < kListedGroups) {
        first = last = selectedGroup;
    }
    for (int g = first; g <= last; ++g) {
        if (!groupShown(table, g)) continue;
        visit(ParamListRow{g, -1, -1});
        const auto& params = table.groups[g].params;
        int position = 0;
        for (int i = 0; i < int(params.size()); ++i)
            if (params[i].defined) visit(ParamListRow{g, i, position++});
    }
}
}  // namespace

std::vector<ParamListRow> BuildParamListRows(const ParamTable& table, int selectedGroup) {
    std::vector<ParamListRow> rows;
    forEachRow(table, selectedGroup, [&](const ParamListRow& r) { rows.push_back(r); });
    return rows;
}

int CountParamListRows(const ParamTable& table, int selectedGroup) {
    int n = 0;
    forEachRow(table, selectedGroup, [&](const ParamListRow&) { ++n; });
    return n;
}

const ParamListRow* ParameterAtRow(const std::vector<ParamListRow>& rows, int row) {
    if (row <= 0 || row >= int(rows.size())) return nullptr;
    return rows[row].isGroupRow() ? nullptr : &rows[row];
}

}  // namespace pv::ui
