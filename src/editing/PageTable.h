#pragma once
// How the group dialogs divide each parameter group into tab pages: per group the pages in tab
// order, each with its template id, its range caption and the parameters it shows (row r is the
// r-th of its list; the numbers need not be consecutive). One table builds every page of the
// desktop's dialog, the command line's single write and the tests, so that "the page of a
// parameter" means the same everywhere.

#include <optional>
#include <string>
#include <vector>

namespace pv {
class ParamTable;
}

namespace pv::editing {

inline constexpr int kRowsPerPage = 10;
inline constexpr int kPageGroups = 24;  // groups 00..23 have pages

struct PageDef {
    int templateId = 0;
    std::string range;          // "00-33 - 00-48": the caption of the tab
    std::string labelBlanks;    // blanks the tab label carries before the range
    std::vector<int> indexes;   // parameter indexes of the rows, in row order
    // Every row of the page only reports "The parameter is read only." (monitor values, fault
    // records, identification).
    bool readOnlyPage = false;
};

struct GroupPages {
    int group = 0;
    std::vector<PageDef> pages;
};

// The pages of group 0..23; nullptr for any other group.
const GroupPages* PagesOfGroup(int group);

// The tab label of page `page` of `group`: the first tab carries the group's name and "-> ".
std::string TabLabel(int group, int page, const std::string& groupName);

struct PageLocation {
    int page = 0;
    int row = 0;
    bool operator==(const PageLocation&) const = default;
};

// The page and row that show parameter GG-NN; nullopt for a parameter on no page (01-01, the
// project's own note of the frequency range, and a few others the drive lists but no page shows).
std::optional<PageLocation> PageOfParameter(int group, int index);

// The page to open for a double-click on the parameter at `position` among the defined records
// of `group` (the list view's numbering). A parameter on no page opens the page of the nearest
// parameter before it that has one, with no row marked; nullopt when the group has no pages or
// no such position.
struct PageToOpen {
    int page = 0;
    int redRow = -1;  // -1: no row drawn red
    int index = -1;   // the parameter clicked
};
std::optional<PageToOpen> PageForPosition(const ParamTable& table, int group, int position);

}  // namespace pv::editing
