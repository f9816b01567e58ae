#include "editing/ui/ParamListRows.h"

#include <algorithm>
#include <cctype>

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

bool ParamListFilter::active() const {
    return readDiffers || changedFromDefault ||
           text.find_first_not_of(" \t") != std::string::npos;
}

namespace {
std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}
}  // namespace

std::string CodePrefixOf(std::string_view typed) {
    std::string digits;
    bool dash = false;
    for (char c : typed) {
        if (std::isdigit(static_cast<unsigned char>(c))) {
            digits += c;
        } else if ((c == '-' || c == ' ') && digits.size() == 2 && !dash) {
            dash = true;
        } else {
            return {};
        }
    }
    if (digits.empty() || digits.size() > 4) return {};
    if (dash && digits.size() < 2) return {};
    std::string prefix = digits.substr(0, 2);
    if (digits.size() > 2 || dash) prefix += '-' + digits.substr(std::min<size_t>(2, digits.size()));
    return prefix;
}

bool MatchesFilter(const ParamRecord& rec, const ParamListFilter& filter) {
    if (filter.readDiffers && (rec.readValue.empty() || rec.readValue == rec.setValue))
        return false;
    if (filter.changedFromDefault && rec.setValue == rec.defaultValue) return false;
    const std::string name = lowered(rec.name());
    const std::string_view code = rec.code();
    size_t pos = 0;
    const std::string& t = filter.text;
    while (pos < t.size()) {
        const size_t start = t.find_first_not_of(" \t", pos);
        if (start == std::string::npos) break;
        size_t end = t.find_first_of(" \t", start);
        if (end == std::string::npos) end = t.size();
        const std::string word = t.substr(start, end - start);
        pos = end;
        const std::string prefix = CodePrefixOf(word);
        const bool codeMatch = !prefix.empty() && code.substr(0, prefix.size()) == prefix;
        if (!codeMatch && name.find(lowered(word)) == std::string::npos) return false;
    }
    return true;
}

std::string DisplayValue(const ParamRecord& rec, const std::string& value) {
    if (rec.options.empty() || value.empty()) return value;
    for (const auto& option : rec.options) {
        const size_t colon = option.find(':');
        if (colon == std::string::npos || option.compare(0, colon, value) != 0) continue;
        const std::string meaning = option.substr(colon + 1);
        return meaning.empty() ? value : value + " (" + meaning + ")";
    }
    return value;
}

const ParamListRow* ParameterAtRow(const std::vector<ParamListRow>& rows, int row) {
    if (row <= 0 || row >= int(rows.size())) return nullptr;
    return rows[row].isGroupRow() ? nullptr : &rows[row];
}

}  // namespace pv::ui
