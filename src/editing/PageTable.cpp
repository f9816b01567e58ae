#include "editing/PageTable.h"

#include <array>
#include <sstream>

#include "project/ParamTable.h"

namespace pv::editing {

namespace {

// One line per group, written as the drive's manual lists the pages: the templates, the range
// captions and the rows of each page in tab order (pages separated by "/", runs "GG-NN..GG-NN").
struct GroupLine {
    std::array<int, 8> templates;
    const char* ranges;
    const char* rows;
};

constexpr GroupLine kGroups[kPageGroups] = {
    {{134, 135, 145, 5782, 5783},
     "00-00 - 00-09/00-10 - 00-19/00-20 - 00-32/00-33 - 00-48/00-49 - 00-63",
     "00-00..00-09 / 00-10..00-19 / 00-20..00-26, 00-28..00-29, 00-32 / 00-33..00-34, "
     "00-41..00-48 / 00-49..00-57, 00-63"},
    {{146, 147, 148},
     "01-00 - 01-10/01-11 - 01-20/01-21 - 01-26",
     "01-00, 01-02..01-10 / 01-11..01-20 / 01-21..01-26"},
    {{149, 150, 151},
     "02-00 - 02-11/02-12 - 02-22/02-23 - 02-37",
     "02-00..02-01, 02-03..02-07, 02-09..02-11 / 02-12..02-13, 02-15..02-22 / 02-23..02-26, "
     "02-32..02-34, 02-37"},
    {{5804, 154, 30772, 30771, 30770},
     "03-00 - 03-10/03-11 - 03-27/03-28 - 03-37/03-38 - 03-48/03-49 - 03-59",
     "03-00..03-06, 03-08..03-10 / 03-11..03-19, 03-27 / 03-28..03-37 / 03-38, 03-40..03-48 / "
     "03-49..03-55, 03-57..03-59"},
    {{5806, 5805, 30764},
     "04-00 - 04-09/04-10 - 04-21/04-22 - 04-23",
     "04-00..04-09 / 04-10..04-13, 04-16..04-21 / 04-22..04-27"},
    {{5807, 5808, 5809, 5810, 5811},
     "05-00 - 05-09/05-10 - 05-19/05-20 - 05-29/05-30 - 05-39/05-40 - 05-48",
     "05-00..05-09 / 05-10..05-19 / 05-20..05-29 / 05-30..05-39 / 05-40..05-48"},
    {{160, 161, 162, 163, 164},
     "06-00 - 06-09/06-10 - 06-19/06-20 - 06-29/06-30 - 06-39/06-40 - 06-47",
     "06-00..06-09 / 06-10..06-19 / 06-20..06-29 / 06-30..06-39 / 06-40..06-47"},
    {{5812, 5813, 5814, 5815},
     "07-00 - 07-13/07-14 - 07-24/07-25 - 07-34/07-35 - 07-47",
     "07-00..07-02, 07-04..07-09, 07-13 / 07-14..07-16, 07-18..07-24 / 07-25..07-34 / "
     "07-35..07-36, 07-42..07-47"},
    {{5851, 5850, 5816, 5858, 5859, 30783},
     "08-00 - 08-10/08-13 - 08-22/08-23 - 08-40/08-41 - 08-51/08-52 - 08-61/08-64 - 08-66",
     "08-00..08-03, 08-05..08-10 / 08-13..08-22 / 08-23..08-25, 08-30, 08-35..08-40 / "
     "08-41..08-44, 08-46..08-51 / 08-52..08-61 / 08-64..08-66"},
    {{5817, 30778}, "09-00 - 09-09/09-11 - 09-14", "09-00..09-09 / 09-11..09-15"},
    {{5844, 5853, 5819, 5860, 5861},
     "10-00 - 10-09/10-10 - 10-19/10-20 - 10-31/10-33 - 10-47/10-48 - 10-49",
     "10-00..10-09 / 10-10..10-19 / 10-20, 10-22..10-27, 10-29..10-31 / 10-33..10-41, 10-47 / "
     "10-48..10-49"},
    {{173, 5846, 5820, 5821, 5822, 5823, 5824, 30773},
     "11-00 - 11-09/11-10 - 11-23/11-24 - 11-34/11-35 - 11-44/11-45 - 11-54/11-55 - 11-65/"
     "11-66 - 11-77/11-78 - 11-82",
     "11-00..11-09 / 11-10..11-13, 11-18..11-23 / 11-24, 11-26..11-34 / 11-35..11-44 / "
     "11-45..11-54 / 11-55..11-56, 11-58..11-65 / 11-66..11-71, 11-73, 11-76..11-77 / "
     "11-78..11-82"},
    {{5825, 5843, 5867, 5841, 5842, 5826, 30777, 30776},
     "12-00 - 12-14/12-15 - 12-24/12-25 - 12-35/12-36 - 12-46/12-47 - 12-56/12-57 - 12-66/"
     "12-67 - 12-80/12-82 - 12-87",
     "12-00..12-05, 12-11..12-14 / 12-15..12-24 / 12-25..12-30, 12-32..12-35 / 12-36..12-39, "
     "12-41..12-46 / 12-47..12-56 / 12-57..12-66 / 12-67..12-68, 12-72..12-76, 12-78..12-80 / "
     "12-82, 12-85..12-87"},
    {{5827, 5788, 5791, 5792, 5793},
     "13-00 - 13-09/13-10 - 13-25/13-26 - 13-35/13-36 - 13-45/13-46 - 13-53",
     "13-00..13-09 / 13-10..13-14, 13-21..13-25 / 13-26..13-35 / 13-36..13-45 / 13-46..13-53"},
    {{214, 215, 216, 217, 218},
     "14-00 - 14-09/14-10 - 14-19/14-20 - 14-29/14-30 - 14-39/14-40 - 14-47",
     "14-00..14-09 / 14-10..14-19 / 14-20..14-21, 14-23..14-29 / 14-30..14-39 / 14-40..14-47"},
    {{219, 220, 221, 222},
     "15-00 - 15-09/15-10 - 15-19/15-20 - 15-29/15-30 - 15-32",
     "15-00..15-09 / 15-10..15-19 / 15-20..15-29 / 15-30..15-32"},
    {{5828, 30767, 30766, 30765},
     "16-00 - 16-10/16-11 - 16-20/16-21 - 16-30/16-31 - 16-37",
     "16-00..16-05, 16-07..16-10 / 16-11..16-20 / 16-21..16-30 / 16-31..16-36"},
    {{186, 5829}, "17-00 - 17-09/17-10 - 17-14", "17-00..17-09 / 17-10..17-14"},
    {{188}, "18-00 - 18-06", "18-00..18-06"},
    {{189}, "19-00 - 19-07", "19-00..19-07"},
    {{190, 191, 192, 5830},
     "20-00 - 20-09/20-10 - 20-19/20-20 - 20-29/20-30 - 20-44",
     "20-00..20-09 / 20-10..20-19 / 20-20..20-29 / 20-30..20-35, 20-43..20-44"},
    {{194, 233, 234, 235, 5840},
     "21-00 - 21-09/21-10 - 21-19/21-20 - 21-29/21-30 - 21-39/21-40 - 21-43",
     "21-00..21-09 / 21-10..21-19 / 21-20..21-29 / 21-30..21-39 / 21-40..21-43"},
    {{5831, 5832, 5855, 30745, 30774},
     "22-00 - 22-10/22-11 - 22-25/22-26 - 22-36/22-37 - 22-52/22-53 - 22-56",
     "22-00..22-08, 22-10 / 22-11, 22-14..22-18, 22-20..22-22, 22-25 / 22-26..22-34, 22-36 / "
     "22-37..22-45, 22-52 / 22-53..22-56"},
    {{195, 196, 197, 198, 199},
     "23-00 - 23-09/23-10 - 23-19/23-20 - 23-30/23-31 - 23-67/23-68 - 23-79",
     "23-00..23-09 / 23-10..23-19 / 23-20, 23-22..23-30 / 23-31, 23-34..23-39, 23-41, "
     "23-66..23-67 / 23-68..23-75, 23-78..23-79"},
};

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> out;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, sep)) {
        const auto b = part.find_first_not_of(' ');
        const auto e = part.find_last_not_of(' ');
        out.push_back(b == std::string::npos ? std::string() : part.substr(b, e - b + 1));
    }
    return out;
}

int indexOf(const std::string& code) {
    return (code[3] - '0') * 10 + (code[4] - '0');
}

std::vector<int> parseRows(const std::string& page) {
    std::vector<int> out;
    for (const std::string& run : split(page, ',')) {
        const auto dots = run.find("..");
        const int first = indexOf(run);
        const int last = dots == std::string::npos ? first : indexOf(run.substr(dots + 2));
        for (int i = first; i <= last; ++i) out.push_back(i);
    }
    return out;
}

// Whole pages that only show values: monitor values and fault records of groups 12 to 15.
bool readOnlyPage(int group, int page) {
    return group == 14 || group == 15 || (group == 12 && page >= 1) || (group == 13 && page >= 1);
}

std::array<GroupPages, kPageGroups> build() {
    std::array<GroupPages, kPageGroups> out{};
    for (int g = 0; g < kPageGroups; ++g) {
        const GroupLine& line = kGroups[g];
        const auto ranges = split(line.ranges, '/');
        const auto rows = split(line.rows, '/');
        out[g].group = g;
        for (std::size_t p = 0; p < ranges.size(); ++p) {
            PageDef def;
            def.templateId = line.templates[p];
            def.range = ranges[p];
            // The drive program's strings: the second tab of group 00 carries two blanks, every
            // other tab after the first one.
            def.labelBlanks = p == 0 ? "" : (g == 0 && p == 1 ? "  " : " ");
            def.indexes = parseRows(rows[p]);
            def.readOnlyPage = readOnlyPage(g, static_cast<int>(p));
            out[g].pages.push_back(std::move(def));
        }
    }
    return out;
}

const std::array<GroupPages, kPageGroups>& table() {
    static const auto t = build();
    return t;
}

}  // namespace

const GroupPages* PagesOfGroup(int group) {
    if (group < 0 || group >= kPageGroups) return nullptr;
    return &table()[group];
}

std::string TabLabel(int group, int page, const std::string& groupName) {
    const GroupPages* g = PagesOfGroup(group);
    if (!g || page < 0 || page >= static_cast<int>(g->pages.size())) return {};
    const PageDef& p = g->pages[page];
    if (page == 0) return groupName + "-> " + p.range + " ";
    return p.labelBlanks + p.range + " ";
}

std::optional<PageLocation> PageOfParameter(int group, int index) {
    const GroupPages* g = PagesOfGroup(group);
    if (!g) return std::nullopt;
    for (std::size_t p = 0; p < g->pages.size(); ++p) {
        const auto& idx = g->pages[p].indexes;
        for (std::size_t r = 0; r < idx.size(); ++r)
            if (idx[r] == index) return PageLocation{static_cast<int>(p), static_cast<int>(r)};
    }
    return std::nullopt;
}

std::optional<PageToOpen> PageForPosition(const ParamTable& table, int group, int position) {
    if (!PagesOfGroup(group) || group >= static_cast<int>(table.groups.size()) || position < 0)
        return std::nullopt;
    const auto& params = table.groups[group].params;
    int seen = -1, clicked = -1;
    for (int i = 0; i < static_cast<int>(params.size()); ++i) {
        if (!params[i].defined) continue;
        if (++seen == position) {
            clicked = i;
            break;
        }
    }
    if (clicked < 0) return std::nullopt;
    if (const auto at = PageOfParameter(group, clicked))
        return PageToOpen{at->page, at->row, clicked};
    // A parameter no page shows: the page of the nearest shown parameter before it.
    for (int i = clicked - 1; i >= 0; --i)
        if (const auto at = PageOfParameter(group, i)) return PageToOpen{at->page, -1, clicked};
    return PageToOpen{0, -1, clicked};
}

}  // namespace pv::editing
