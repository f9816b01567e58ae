#pragma once
// The rows of the parameter list for a selected group, and the way back from a row number to a
// parameter. The list, its printout and its refresh all count rows the same way: for each shown
// group with its defined flag set, one group row, then one row per defined record in index order.

#include <vector>

#include "project/ParamTable.h"

namespace pv::ui {

struct ParamListRow {
    int group = 0;
    int index = -1;     // record index 0..99; -1 for a group row
    int position = -1;  // position among the group's defined records; -1 for a group row
    bool isGroupRow() const { return index < 0; }
};

// Rows shown for `selectedGroup` (-1 all groups 00..23, 0..23 one group, else nothing).
std::vector<ParamListRow> BuildParamListRows(const ParamTable& table, int selectedGroup);

// Row count as the printout counts it, without building the rows.
int CountParamListRows(const ParamTable& table, int selectedGroup);

// The parameter a row stands for; nullptr for a group row or a row outside the list.
const ParamListRow* ParameterAtRow(const std::vector<ParamListRow>& rows, int row);

inline constexpr int kListedGroups = 24;  // groups 00..23 appear in the list

}  // namespace pv::ui
