#pragma once
// The rows of the parameter list for a selected group, and the way back from a row number to a
// parameter. The list, its printout and its refresh all count rows the same way: for each shown
// group with its defined flag set, one group row, then one row per defined record in index order.

#include <string>
#include <string_view>
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

// What the list's filter bar asks for. Words match the code ("13-00", "13-", "1300") or, case
// aside, the name; every word must match. The two toggles keep only the parameters whose read
// value differs from the set value, or whose set value differs from the default.
struct ParamListFilter {
    std::string text;
    bool readDiffers = false;
    bool changedFromDefault = false;
    bool active() const;
};
bool MatchesFilter(const ParamRecord& rec, const ParamListFilter& filter);

// A value as the list shows it: option rows add the option's meaning ("2 (SLV)"), other rows
// show the text as it stands.
std::string DisplayValue(const ParamRecord& rec, const std::string& value);

// What the user typed to go to a parameter, as the start of a code ("13-0" for "130" or
// "13-0"); empty when the text cannot begin a code, so it is searched in the names instead.
std::string CodePrefixOf(std::string_view typed);

}  // namespace pv::ui
