#pragma once
// The parameter table of a project: every group of the drive with exactly 100 records each, built
// from the data files beside the program. Values stay text exactly as written in the data files and
// the dialogs; the table's users convert them to register values.
//
// The table never grows past kGroupSlots groups while loading the data files: the flag tables are
// 25 x 100 and everything written to them is clipped to that. Only the transfer appends the hidden
// groups 25..28 to `groups` afterwards.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pv {

inline constexpr int kGroupSlots = 25;       // groups 00..24 of the flag tables
inline constexpr int kParamsPerGroup = 100;  // records NN = 00..99 of every group
inline constexpr int kAttrCount = 10;
inline constexpr int kHiddenGroupFirst = 25, kHiddenGroupLast = 28;
// Longest line the loaders take; the rest of an over-long line is dropped.
inline constexpr size_t kMaxLineLength = 65535;
inline constexpr int kModelDefaultBindings = 67;

using FlagTable = std::array<std::array<int32_t, kParamsPerGroup>, kGroupSlots>;

struct ParamRecord {
    std::string label;         // "GG-NN" + displayed name
    std::string defaultValue;  // replaced by the model's value where one is bound
    std::string setValue;      // the project's value
    std::string readValue;     // last value read from a drive; empty after loading
    std::string auxText;       // fourth text field (the range label of the editors)
    int32_t work = 0;          // working word, not filled by the loader
    int32_t valueKind = 0;     // 6 = date
    std::vector<std::string> options;
    std::array<int32_t, kAttrCount> attr{};  // meanings: project/ParamAttr.h
    int32_t defined = 0;                     // 1 from a definition line, 0 for a filler

    // The first five label characters (the code "GG-NN").
    std::string_view code() const;
    // The label after the code with leading blanks removed.
    std::string_view name() const;
    bool operator==(const ParamRecord&) const = default;
};

struct ParamGroup {
    std::string name;
    std::vector<ParamRecord> params;  // exactly 100 after loading
    int32_t work = 0;
    int32_t defined = 0;  // 1 for a group closed by a "##" line, 0 for a filler group
    bool operator==(const ParamGroup&) const = default;
};

struct CodeName {
    std::string code;
    std::string name;
    bool operator==(const CodeName&) const = default;
};

struct ModelDefaultEntry {
    std::string key;
    std::vector<std::string> values;  // one per model slot
    bool operator==(const ModelDefaultEntry&) const = default;
};

// "%02d-%02d" and "%02d-XX".
std::string FormatParamCode(int group, int index);
std::string FormatGroupCode(int group);
// "GG-NN" with two decimal digits each side; nullopt otherwise.
struct ParamCodeParts {
    int group = 0;
    int index = 0;
};
std::optional<ParamCodeParts> ParseParamCode(std::string_view text);

// A filler record: label = the bare code, values "0", defined = 0.
ParamRecord MakeFillerRecord(int group, int index);
ParamGroup MakeFillerGroup(int group);

// The parameter that each model-default entry position (0..66) is bound to.
const std::array<ParamCodeParts, kModelDefaultBindings>& ModelDefaultBinding();

class ParamTable {
public:
    std::vector<ParamGroup> groups;  // index = group number
    FlagTable paramDefined{};        // 1 where a definition line named the code
    FlagTable paramStored{};         // the defined flags a project file carried
    FlagTable paramEdited{};         // changed in a page and not yet written to a drive
    std::vector<CodeName> codeList;
    std::vector<ModelDefaultEntry> modelDefaults;
    int32_t includeHiddenGroups = 0;
    int32_t hiddenGroupsRead = 0;
    int32_t applyModelDefaultsToSetValues = 1;

    // The loaders. Each returns false when its file cannot be opened (the part of the table it
    // fills is then left empty) or, for the option lists, when a code names a group beyond the
    // table (which ends that load). None shows a message: the document opens anyway.
    bool LoadParamDefinitions(const std::string& path);
    bool LoadOptionLists(const std::string& path);
    bool LoadCodeList(const std::string& path);
    // Reads the model defaults and applies them for modelCode.
    bool LoadModelDefaults(const std::string& path, uint32_t modelCode);
    // Writes each bound entry's value for modelCode into defaultValue (and setValue when
    // applyModelDefaultsToSetValues is set). Returns the number of records written; 0 for a
    // model code whose low byte selects no value index.
    int ApplyModelDefaults(uint32_t modelCode);

    // Parsers behind the loaders, for text already in memory.
    void ParseParamDefinitions(std::string_view text);
    bool ParseOptionLists(std::string_view text);
    void ParseCodeList(std::string_view text);
    void ParseModelDefaults(std::string_view text);

    // Index of the record of `group` whose first five label characters equal `code`; -1 if none
    // (or the group does not exist).
    int FindRecord(int group, std::string_view code) const;

    // Look-ups by (group, index) and by "GG-NN"; nullptr when not present.
    ParamRecord* record(int group, int index);
    const ParamRecord* record(int group, int index) const;
    ParamRecord* record(std::string_view code);
    const ParamRecord* record(std::string_view code) const;
    // Same, but only for defined records.
    const ParamRecord* definedRecord(std::string_view code) const;

    int definedGroupCount() const;
    int definedParamCount() const;

    bool operator==(const ParamTable&) const = default;
};

// Value index of "N350InitialParam.dat" selected by a model code: low byte 1..18 -> 0..17,
// 33..55 -> 18..40; -1 for anything else.
int ModelDefaultIndex(uint32_t modelCode);

}  // namespace pv
