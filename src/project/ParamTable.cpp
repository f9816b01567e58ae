#include "project/ParamTable.h"

#include <algorithm>
#include <cstdio>

#include "project/TextFile.h"

namespace pv {

namespace {

// Substring helpers with the forgiving semantics the definition format relies on: a separator
// that is missing (npos) or stands before the start of a field yields an empty or partial field,
// never an error.
constexpr long kNotFound = -1;

long findPos(std::string_view s, std::string_view what) {
    const size_t p = s.find(what);
    return p == std::string_view::npos ? kNotFound : static_cast<long>(p);
}

std::string_view mid(std::string_view s, long start, long count) {
    if (start < 0) start = 0;
    if (count <= 0 || start >= static_cast<long>(s.size())) return {};
    return s.substr(static_cast<size_t>(start), static_cast<size_t>(count));
}

std::string_view left(std::string_view s, long count) {
    if (count <= 0) return {};
    return s.substr(0, static_cast<size_t>(count));
}

std::vector<std::string_view> split(std::string_view s, char sep) {
    std::vector<std::string_view> parts;
    size_t start = 0;
    while (true) {
        const size_t p = s.find(sep, start);
        if (p == std::string_view::npos) {
            parts.push_back(s.substr(start));
            return parts;
        }
        parts.push_back(s.substr(start, p - start));
        start = p + 1;
    }
}

// Group and index of a definition line's first five characters: the decimal values before and
// after the first "-" among them.
void codeOfLine(std::string_view line, int& group, int& index) {
    const std::string_view head = line.substr(0, 5);
    const size_t dash = head.find('-');
    if (dash == std::string_view::npos) {
        group = AtoiLike(head);
        index = 0;
        return;
    }
    group = AtoiLike(head.substr(0, dash));
    index = AtoiLike(head.substr(dash + 1));
}

}  // namespace

std::string FormatParamCode(int group, int index) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d", group, index);
    return buf;
}

std::string FormatGroupCode(int group) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-XX", group);
    return buf;
}

std::optional<ParamCodeParts> ParseParamCode(std::string_view text) {
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (text.size() != 5 || !digit(text[0]) || !digit(text[1]) || text[2] != '-' ||
        !digit(text[3]) || !digit(text[4]))
        return std::nullopt;
    return ParamCodeParts{(text[0] - '0') * 10 + (text[1] - '0'),
                          (text[3] - '0') * 10 + (text[4] - '0')};
}

std::string_view ParamRecord::code() const {
    return std::string_view(label).substr(0, 5);
}

std::string_view ParamRecord::name() const {
    if (label.size() <= 5) return {};
    return TrimLeft(std::string_view(label).substr(5));
}

ParamRecord MakeFillerRecord(int group, int index) {
    ParamRecord r;
    r.label = FormatParamCode(group, index);
    r.defaultValue = "0";
    r.setValue = "0";
    return r;
}

ParamGroup MakeFillerGroup(int group) {
    ParamGroup g;
    g.name = FormatGroupCode(group);
    g.params.reserve(kParamsPerGroup);
    for (int i = 0; i < kParamsPerGroup; ++i) g.params.push_back(MakeFillerRecord(group, i));
    return g;
}

const std::array<ParamCodeParts, kModelDefaultBindings>& ModelDefaultBinding() {
    static const std::array<ParamCodeParts, kModelDefaultBindings> binding = {{
        {0, 14},  {0, 15},  {0, 16}, {0, 17},                    // 0-3
        {0, 19},  {0, 20},  {0, 21}, {0, 22}, {0, 23}, {0, 24},  // 4-9
        {1, 3},   {1, 7},   {1, 9},                              // 10-12
        {1, 13},  {1, 14},                                       // 13-14
        {1, 17},  {1, 21},  {1, 23}, {1, 25},                    // 15-18
        {2, 0},   {2, 1},                                        // 19-20
        {2, 3},   {2, 4},   {2, 5},                              // 21-23
        {2, 9},   {2, 10},  {2, 11}, {2, 12}, {2, 13},           // 24-28
        {2, 15},  {2, 16},  {2, 17}, {2, 18},                    // 29-32
        {2, 19},  {2, 20},  {2, 21}, {2, 22}, {2, 23}, {2, 24},  // 33-38
        {2, 32},  {2, 33},  {2, 34},                             // 39-41
        {7, 13},  {7, 18},  {7, 23},                             // 42-44
        {8, 2},                                                  // 45
        {11, 1},  {11, 24},                                      // 46-47
        {11, 30}, {11, 31},                                      // 48-49
        {11, 38}, {11, 39},                                      // 50-51
        {11, 48}, {11, 65},                                      // 52-53
        {13, 0},                                                 // 54
        {17, 1},  {17, 2},  {17, 3},                             // 55-57
        {17, 5},  {17, 8},  {17, 9},                             // 58-60
        {20, 0},  {20, 2},                                       // 61-62
        {22, 0},  {22, 1},  {22, 2},                             // 63-65
        {22, 17},                                                // 66
    }};
    return binding;
}

int ModelDefaultIndex(uint32_t modelCode) {
    const int low = static_cast<int>(modelCode & 0xFF);
    if (low >= 1 && low <= 18) return low - 1;
    if (low >= 33 && low <= 55) return low - 15;
    return -1;
}

// ---------------------------------------------------------------------------------------------
// "N350PARAM.DAT"

bool ParamTable::LoadParamDefinitions(const std::string& path) {
    groups.clear();
    paramDefined = {};
    paramStored = {};
    paramEdited = {};
    const auto text = ReadWholeFile(path);
    if (!text) return false;
    ParseParamDefinitions(*text);
    return true;
}

void ParamTable::ParseParamDefinitions(std::string_view text) {
    groups.clear();
    paramDefined = {};
    paramStored = {};
    paramEdited = {};

    int curGroup = 0;
    int nextIndex = 0;
    std::vector<ParamRecord> collected;
    // Carried from one parameter line to the next: a line that gives fewer than ten integers
    // keeps the rest from the line before.
    std::array<int32_t, kAttrCount> attrBuf{};

    auto closeGroup = [&](std::string_view name) {
        // A group number that is already taken (out of order or repeated) or beyond the flag
        // tables is dropped with its records: it could only land at a wrong position.
        const bool fits = curGroup >= static_cast<int>(groups.size()) && curGroup < kGroupSlots;
        if (fits) {
            for (int n = nextIndex; n < kParamsPerGroup; ++n)
                collected.push_back(MakeFillerRecord(curGroup, n));
            for (int g = static_cast<int>(groups.size()); g < curGroup; ++g)
                groups.push_back(MakeFillerGroup(g));
            ParamGroup group;
            group.name = std::string(name);
            group.defined = 1;
            group.params = std::move(collected);
            for (int i = 0; i < kParamsPerGroup; ++i)
                if (group.params[i].defined) paramDefined[curGroup][i] = 1;
            groups.push_back(std::move(group));
        }
        collected.clear();
        collected.reserve(kParamsPerGroup);
        nextIndex = 0;
    };
    collected.reserve(kParamsPerGroup);

    ForEachLine(text, kMaxLineLength, [&](std::string_view line) {
        const long hashes = findPos(line, "##");
        if (hashes != kNotFound) {
            closeGroup(line.substr(static_cast<size_t>(hashes) + 2));
            return true;
        }
        if (Trim(line).empty()) return true;

        int group = 0, index = 0;
        codeOfLine(line, group, index);
        // Codes out of order, repeated, beyond 99, or of another group than the records
        // collected so far would put a record at a position that is not its index: skip them.
        if (group < 0 || group >= kGroupSlots || index < 0 || index >= kParamsPerGroup ||
            index < nextIndex)
            return true;
        if (!collected.empty() && group != curGroup) return true;
        curGroup = group;
        for (int n = nextIndex; n < index; ++n) collected.push_back(MakeFillerRecord(group, n));
        nextIndex = index;

        const long at = findPos(line, "@");
        const long dollar = findPos(line, "$");
        const long star = findPos(line, "*");
        const long hash = findPos(line, "#");
        const long colon = findPos(line, ":");
        const long quad = findPos(line, "$$$$");

        ParamRecord r;
        r.label = std::string(left(line, at));
        r.defaultValue = std::string(mid(line, at + 1, dollar - at - 1));
        r.setValue = std::string(mid(line, dollar + 1, star - dollar - 1));
        r.auxText = std::string(mid(line, star + 1, hash - star - 1));
        r.valueKind = AtoiLike(mid(line, hash + 1, colon - hash - 1));
        const std::string_view optionText =
            quad == kNotFound ? std::string_view{} : mid(line, colon + 1, quad - colon - 1);
        for (std::string_view opt : split(optionText, ';')) r.options.emplace_back(opt);
        if (quad != kNotFound) {
            const std::string_view ints = line.substr(static_cast<size_t>(quad) + 4);
            const auto parts = split(ints, ',');
            for (size_t i = 0; i < parts.size() && i < static_cast<size_t>(kAttrCount); ++i)
                attrBuf[i] = AtoiLike(parts[i]);
        }
        r.attr = attrBuf;
        r.defined = 1;
        collected.push_back(std::move(r));
        ++nextIndex;
        return true;
    });
}

// ---------------------------------------------------------------------------------------------
// "N350ComboxList.DAT"

bool ParamTable::LoadOptionLists(const std::string& path) {
    const auto text = ReadWholeFile(path);
    if (!text) return false;
    return ParseOptionLists(*text);
}

bool ParamTable::ParseOptionLists(std::string_view text) {
    std::vector<std::string> collected;
    bool ok = true;
    ForEachLine(text, kMaxLineLength, [&](std::string_view raw) {
        const std::string_view line = TrimLeft(raw);
        if (line.find("####") == std::string_view::npos) {
            collected.emplace_back(line);
            return true;
        }
        const std::string_view code = line.size() > 5 ? line.substr(line.size() - 5) : line;
        const int group = AtoiLike(code.substr(0, 2));
        if (group < 0 || group >= static_cast<int>(groups.size())) {
            ok = false;
            return false;
        }
        // A code that names no record of its group drops the collected list: attaching it to
        // some other parameter would give that parameter foreign choices.
        const int index = FindRecord(group, code);
        if (index >= 0) groups[group].params[index].options = std::move(collected);
        collected.clear();
        return true;
    });
    return ok;
}

// ---------------------------------------------------------------------------------------------
// "N350MOTORPARAM.DAT"

bool ParamTable::LoadCodeList(const std::string& path) {
    codeList.clear();
    const auto text = ReadWholeFile(path);
    if (!text) return false;
    ParseCodeList(*text);
    return true;
}

void ParamTable::ParseCodeList(std::string_view text) {
    codeList.clear();
    ForEachLine(text, kMaxLineLength, [&](std::string_view raw) {
        // Every line is one pair, an empty one too: the monitor status list shows the pairs
        // row for row as the file lists them.
        const std::string_view line = TrimLeft(raw);
        CodeName pair;
        pair.code = std::string(line.substr(0, 5));
        if (line.size() > 6) pair.name = std::string(line.substr(6));
        codeList.push_back(std::move(pair));
        return true;
    });
}

// ---------------------------------------------------------------------------------------------
// "N350InitialParam.dat"

bool ParamTable::LoadModelDefaults(const std::string& path, uint32_t modelCode) {
    modelDefaults.clear();
    const auto text = ReadWholeFile(path);
    if (!text) return false;
    ParseModelDefaults(*text);
    ApplyModelDefaults(modelCode);
    return true;
}

void ParamTable::ParseModelDefaults(std::string_view text) {
    modelDefaults.clear();
    ForEachLine(text, kMaxLineLength, [&](std::string_view raw) {
        if (TrimLeft(raw) == "END") return false;
        // Every line before "END" is one entry, an empty one too: the entries are bound to
        // their parameters by their line position, so the file's lines are counted as written.
        ModelDefaultEntry entry;
        std::string current;
        for (char c : raw) {
            if (c == ':') {
                entry.key = std::move(current);
                current.clear();
            } else if (c == ',') {
                entry.values.push_back(std::move(current));
                current.clear();
            } else {
                current.push_back(c);
            }
        }
        if (!current.empty()) entry.values.push_back(std::move(current));
        modelDefaults.push_back(std::move(entry));
        return true;
    });
}

int ParamTable::ApplyModelDefaults(uint32_t modelCode) {
    const int valueIndex = ModelDefaultIndex(modelCode);
    if (valueIndex < 0) return 0;
    const auto& binding = ModelDefaultBinding();
    int written = 0;
    const size_t n = std::min(modelDefaults.size(), binding.size());
    for (size_t pos = 0; pos < n; ++pos) {
        const auto& values = modelDefaults[pos].values;
        // A value index beyond the entry's list is an error of the data files: leave the record.
        if (static_cast<size_t>(valueIndex) >= values.size()) continue;
        ParamRecord* r = record(binding[pos].group, binding[pos].index);
        if (!r) continue;
        r->defaultValue = values[static_cast<size_t>(valueIndex)];
        if (applyModelDefaultsToSetValues) r->setValue = r->defaultValue;
        ++written;
    }
    return written;
}

// ---------------------------------------------------------------------------------------------
// Look-ups

int ParamTable::FindRecord(int group, std::string_view code) const {
    if (group < 0 || group >= static_cast<int>(groups.size())) return -1;
    const auto& params = groups[group].params;
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i].code() == code) return static_cast<int>(i);
    return -1;
}

ParamRecord* ParamTable::record(int group, int index) {
    if (group < 0 || group >= static_cast<int>(groups.size())) return nullptr;
    auto& params = groups[group].params;
    if (index < 0 || index >= static_cast<int>(params.size())) return nullptr;
    return &params[index];
}

const ParamRecord* ParamTable::record(int group, int index) const {
    return const_cast<ParamTable*>(this)->record(group, index);
}

ParamRecord* ParamTable::record(std::string_view code) {
    const auto parts = ParseParamCode(code);
    if (!parts) return nullptr;
    return record(parts->group, parts->index);
}

const ParamRecord* ParamTable::record(std::string_view code) const {
    return const_cast<ParamTable*>(this)->record(code);
}

const ParamRecord* ParamTable::definedRecord(std::string_view code) const {
    const ParamRecord* r = record(code);
    return r && r->defined ? r : nullptr;
}

int ParamTable::definedGroupCount() const {
    int n = 0;
    for (const auto& g : groups)
        if (g.defined) ++n;
    return n;
}

int ParamTable::definedParamCount() const {
    int n = 0;
    for (const auto& g : groups)
        for (const auto& r : g.params)
            if (r.defined) ++n;
    return n;
}

}  // namespace pv
