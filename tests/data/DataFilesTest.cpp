// The shipped parameter database: the files the program loads beside itself must describe the
// drive completely and consistently, because the editors, the write rules, the transfers and the
// virtual drive all take their ranges and register layout from them.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "drive/Models.h"
#include "project/ModelDescriptions.h"
#include "project/ModelTable.h"
#include "project/ParamAttr.h"
#include "project/ParamTable.h"

namespace pv {
namespace {

const std::string kDir = std::string(PARVOLT_DATA_DIR) + "/";

std::string readFile(const std::string& name) {
    std::ifstream in(kDir + name, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream ss(text);
    std::string line;
    while (std::getline(ss, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        out.push_back(line);
    }
    return out;
}

struct Code {
    int group;
    int index;
    bool operator<(const Code& o) const {
        return group != o.group ? group < o.group : index < o.index;
    }
    bool operator==(const Code&) const = default;
};

std::string codeText(Code c) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d-%02d", c.group, c.index);
    return buf;
}

Code parseCode(const std::string& t) {
    return {std::atoi(t.substr(0, 2).c_str()), std::atoi(t.substr(3, 2).c_str())};
}

// "00-00..00-09, 00-28, 01-03..01-07" -> every code named.
std::vector<Code> expandCodes(const std::string& list) {
    std::vector<Code> out;
    std::stringstream ss(list);
    std::string item;
    while (std::getline(ss, item, ',')) {
        while (!item.empty() && item.front() == ' ') item.erase(0, 1);
        if (item.empty()) continue;
        const Code a = parseCode(item);
        const Code b = item.size() > 5 ? parseCode(item.substr(7)) : a;
        for (int i = a.index; i <= b.index; ++i) out.push_back({a.group, i});
    }
    return out;
}

// The raw value a text stands for, rounded to the nearest step, independently of the transfer's
// own conversion (parseValueText), so that the data files are checked against what they say.
bool exactRaw(const ParamRecord& r, const std::string& text, int32_t& raw) {
    if (!parseValueText(r.valueKind, r.attr, text, raw)) return false;
    const int n = decimals(r.valueKind, r.attr);
    if (n > 0)
        raw = static_cast<int32_t>(
            std::llround(std::strtod(text.c_str(), nullptr) * std::pow(10.0, n)));
    return true;
}

class DataFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        table_ = new ParamTable;
        ASSERT_TRUE(table_->LoadParamDefinitions(kDir + "N350PARAM.DAT"));
        ASSERT_TRUE(table_->LoadOptionLists(kDir + "N350ComboxList.DAT"));
        ASSERT_TRUE(table_->LoadCodeList(kDir + "N350MOTORPARAM.DAT"));
        ASSERT_TRUE(table_->LoadModelDefaults(kDir + "N350InitialParam.dat", 0x35021));
    }
    static void TearDownTestSuite() {
        delete table_;
        table_ = nullptr;
    }
    static const ParamRecord* rec(Code c) {
        const ParamRecord* r = table_->record(c.group, c.index);
        return r && r->defined ? r : nullptr;
    }
    static std::vector<Code> definedCodes() {
        std::vector<Code> out;
        for (int g = 0; g < static_cast<int>(table_->groups.size()); ++g)
            for (int i = 0; i < kParamsPerGroup; ++i)
                if (rec({g, i})) out.push_back({g, i});
        return out;
    }
    static ParamTable* table_;
};

ParamTable* DataFiles::table_ = nullptr;

TEST_F(DataFiles, EveryGroupZeroToTwentyThreeIsClosedAndNamed) {
    ASSERT_EQ(table_->groups.size(), 24u);
    for (int g = 0; g < 24; ++g) {
        SCOPED_TRACE(g);
        const ParamGroup& grp = table_->groups[g];
        EXPECT_EQ(grp.defined, 1);
        EXPECT_EQ(grp.params.size(), 100u);
        EXPECT_GT(grp.name.size(), 5u);
        EXPECT_EQ(grp.name.find("-XX"), std::string::npos);
    }
}

// Read from the raw text: the loader would silently tolerate what the files must never hold.
TEST_F(DataFiles, DefinitionLinesAreAscendingWithTenIntegersAndNoTrailingLines) {
    const auto all = lines(readFile("N350PARAM.DAT"));
    ASSERT_FALSE(all.empty());
    int lastGroup = -1, lastIndex = -1, groupOfBlock = -1;
    bool closed = true;
    for (const auto& l : all) {
        SCOPED_TRACE(l);
        if (l.find("##") != std::string::npos) {
            EXPECT_EQ(l.rfind("##", 0), 0u);
            EXPECT_FALSE(closed) << "a group without parameters";
            closed = true;
            lastIndex = -1;
            continue;
        }
        ASSERT_GE(l.size(), 5u);
        const Code c = parseCode(l);
        if (closed) {
            EXPECT_EQ(c.group, lastGroup + 1) << "groups follow each other without gaps";
            groupOfBlock = c.group;
            lastGroup = c.group;
            closed = false;
        }
        EXPECT_EQ(c.group, groupOfBlock);
        EXPECT_GT(c.index, lastIndex);
        lastIndex = c.index;
        const auto quad = l.find("$$$$");
        ASSERT_NE(quad, std::string::npos);
        const std::string ints = l.substr(quad + 4);
        int commas = 0;
        for (char ch : ints) {
            if (ch == ',')
                ++commas;
            else
                EXPECT_TRUE((ch >= '0' && ch <= '9') || ch == '-') << ints;
        }
        EXPECT_EQ(commas, 9) << "every line carries all ten attribute integers";
        // The separators of the line format may not occur inside names or values.
        const auto colon = l.find(':');
        ASSERT_NE(colon, std::string::npos);
        EXPECT_LT(l.find('#'), colon);
        EXPECT_LT(l.find('*'), l.find('#'));
    }
    EXPECT_TRUE(closed) << "parameter lines after the last group line are lost";
    EXPECT_EQ(lastGroup, 23);
}

TEST_F(DataFiles, LabelsAreCodeThenName) {
    for (const Code c : definedCodes()) {
        const ParamRecord& r = *rec(c);
        SCOPED_TRACE(r.label);
        EXPECT_EQ(r.label.substr(0, 5), codeText(c));
        ASSERT_GT(r.label.size(), 8u);
        EXPECT_EQ(r.label[5], ' ');
        EXPECT_NE(r.label[6], ' ');
        // Labels travel through CSV files and printouts unquoted.
        EXPECT_EQ(r.label.find(','), std::string::npos);
        for (const char ch : r.label) EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << int(ch);
        EXPECT_LE(r.label.size(), 60u);
    }
}

// Values as the editors and transfers convert them: every default and set value must be text of
// the parameter's kind and lie in its range, or the first write of a fresh project would fail.
TEST_F(DataFiles, DefaultAndSetValuesAreFormattedAndInRange) {
    int checked = 0;
    for (const Code c : definedCodes()) {
        const ParamRecord& r = *rec(c);
        SCOPED_TRACE(r.label);
        for (const std::string& v : {r.defaultValue, r.setValue}) {
            int32_t raw = 0;
            ASSERT_TRUE(exactRaw(r, v, raw)) << v;
            EXPECT_TRUE(rawInRange(r.valueKind, r.attr, raw)) << v;
            if (!isOptionList(r.valueKind)) {
                EXPECT_EQ(formatRaw(r.valueKind, r.attr, raw), v) << "not in the kind's format";
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 1800);
}

// The range label printed beside a row and the bounds the checks use must say the same.
TEST_F(DataFiles, RangeLabelMatchesBounds) {
    for (const Code c : definedCodes()) {
        const ParamRecord& r = *rec(c);
        SCOPED_TRACE(r.label + " " + r.auxText);
        const ParamAttrs& a = r.attr;
        const auto tilde = r.auxText.find('~');
        ASSERT_NE(tilde, std::string::npos);
        if (hasFlag(a, FlagLoneMax)) {
            EXPECT_EQ(r.auxText, formatRaw(r.valueKind, a, a[AttrMin]) + "~" +
                                     formatRaw(r.valueKind, a, a[AttrNarrowMax]) + "," +
                                     formatRaw(r.valueKind, a, a[AttrMax]));
            continue;
        }
        if (isOptionList(r.valueKind)) {
            // Firmware-limited lists show the range older drives accept.
            const int32_t shownMax = a[AttrWideVersion] > 0 ? a[AttrNarrowMax] : a[AttrMax];
            EXPECT_EQ(r.auxText, std::to_string(a[AttrMin]) + "~" + std::to_string(shownMax));
            continue;
        }
        EXPECT_EQ(r.auxText, rangeLabel(r.valueKind, a, r.auxText)) << "setting-free label";
        EXPECT_EQ(r.auxText, formatRaw(r.valueKind, a, a[AttrMin]) + "~" +
                                 formatRaw(r.valueKind, a, a[AttrMax]));
        EXPECT_LE(a[AttrMin], a[AttrMax]);
        EXPECT_EQ(a[AttrNarrowMax], a[AttrMax]);
        // Every value must fit one 16-bit register.
        if (isSigned16(a)) {
            EXPECT_GE(a[AttrMin], -32768);
            EXPECT_LE(a[AttrMax], 32767);
        } else {
            EXPECT_GE(a[AttrMin], 0);
            EXPECT_LE(a[AttrMax], 65535);
        }
    }
}

TEST_F(DataFiles, OptionListsAreCompleteAndNumbered) {
    for (const Code c : definedCodes()) {
        const ParamRecord& r = *rec(c);
        if (!isOptionList(r.valueKind)) {
            EXPECT_EQ(r.options, std::vector<std::string>{""}) << r.label;
            continue;
        }
        SCOPED_TRACE(r.label);
        const int32_t offset = optionOffset(r.attr);
        ASSERT_EQ(static_cast<int32_t>(r.options.size()), r.attr[AttrMax] - r.attr[AttrMin] + 1);
        EXPECT_EQ(r.attr[AttrMin], offset);
        for (size_t i = 0; i < r.options.size(); ++i) {
            // Items read "value:text"; value = position + offset (hexadecimal for 01-00 style).
            const std::string& o = r.options[i];
            const auto colon = o.find(':');
            ASSERT_NE(colon, std::string::npos) << o;
            EXPECT_EQ(std::atoi(o.substr(0, colon).c_str()), static_cast<int>(i) + offset) << o;
            EXPECT_GT(o.size(), colon + 1) << o;
        }
    }
}

TEST_F(DataFiles, EveryOptionBlockNamesAnOptionListRecord) {
    int blocks = 0;
    for (const auto& l : lines(readFile("N350ComboxList.DAT"))) {
        if (l.find("####") == std::string::npos) {
            EXPECT_FALSE(l.empty()) << "an empty line would become an option";
            continue;
        }
        ++blocks;
        const Code c = parseCode(l.substr(l.size() - 5));
        const ParamRecord* r = rec(c);
        ASSERT_NE(r, nullptr) << l;
        EXPECT_TRUE(isOptionList(r->valueKind)) << l;
        EXPECT_GT(r->options.size(), 1u) << l;
    }
    EXPECT_GE(blocks, 10);
}

// The 67 model-dependent entries, one value per model slot, bound in file order.
TEST_F(DataFiles, ModelDefaultsCoverEverySlotWithValidValues) {
    ASSERT_EQ(table_->modelDefaults.size(), static_cast<size_t>(kModelDefaultBindings));
    const auto& binding = ModelDefaultBinding();
    for (int pos = 0; pos < kModelDefaultBindings; ++pos) {
        const ModelDefaultEntry& e = table_->modelDefaults[pos];
        const Code c{binding[pos].group, binding[pos].index};
        SCOPED_TRACE(codeText(c));
        EXPECT_EQ(e.key, codeText(c)) << "entry " << pos << " is bound to another parameter";
        ASSERT_EQ(e.values.size(), 41u);
        const ParamRecord* r = rec(c);
        ASSERT_NE(r, nullptr);
        EXPECT_TRUE(hasFlag(r->attr, FlagModelDefault));
        for (const std::string& v : e.values) {
            int32_t raw = 0;
            ASSERT_TRUE(exactRaw(*r, v, raw)) << v;
            EXPECT_TRUE(rawInRange(r->valueKind, r->attr, raw)) << v;
            EXPECT_EQ(formatRaw(r->valueKind, r->attr, raw), v);
        }
    }
    // Nothing else claims to be model dependent.
    int flagged = 0;
    for (const Code c : definedCodes()) flagged += hasFlag(rec(c)->attr, FlagModelDefault);
    EXPECT_EQ(flagged, kModelDefaultBindings);
}

TEST_F(DataFiles, EveryModelGetsItsOwnCapacityCodeAndClassVoltage) {
    for (const ModelInfo& m : ModelsByCode()) {
        SCOPED_TRACE(m.name);
        ParamTable t = *table_;
        t.applyModelDefaultsToSetValues = 1;
        EXPECT_EQ(t.ApplyModelDefaults(m.code), kModelDefaultBindings);
        EXPECT_EQ(std::atoi(t.record(13, 0)->setValue.c_str()), static_cast<int>(m.code & 0xFF));
        const double volts = std::atof(t.record(1, 3)->defaultValue.c_str());
        EXPECT_DOUBLE_EQ(volts, drive::VoltageClassOf(m.code) == drive::kVoltageClass200 ? 220.0 : 440.0);
        // The motor current grows with the capacity within a class.
        ParamTable next = t;
        const ModelInfo* bigger = FindModelByCode(m.code + 1);
        if (bigger) {
            next.ApplyModelDefaults(bigger->code);
            EXPECT_LT(std::atof(t.record(2, 1)->setValue.c_str()),
                      std::atof(next.record(2, 1)->setValue.c_str()));
        }
    }
}

// The rows the group dialogs show: all defined, and nothing defined is left off a page unless
// flagged so.
TEST_F(DataFiles, PageRowsAreDefinedAndOnlyFlaggedCodesAreOffPage) {
    const char* rows[] = {
        "00-00..00-09, 00-10..00-19, 00-20..00-26, 00-28..00-29, 00-32, 00-33..00-34, "
        "00-41..00-48, 00-49..00-57, 00-63",
        "01-00, 01-02..01-10, 01-11..01-20, 01-21..01-26",
        "02-00..02-01, 02-03..02-07, 02-09..02-11, 02-12..02-13, 02-15..02-22, 02-23..02-26, "
        "02-32..02-34, 02-37",
        "03-00..03-06, 03-08..03-10, 03-11..03-19, 03-27, 03-28..03-37, 03-38, 03-40..03-48, "
        "03-49..03-55, 03-57..03-59",
        "04-00..04-09, 04-10..04-13, 04-16..04-21, 04-22..04-27",
        "05-00..05-48",
        "06-00..06-47",
        "07-00..07-02, 07-04..07-09, 07-13, 07-14..07-16, 07-18..07-24, 07-25..07-34, "
        "07-35..07-36, 07-42..07-47",
        "08-00..08-03, 08-05..08-10, 08-13..08-22, 08-23..08-25, 08-30, 08-35..08-40, "
        "08-41..08-44, 08-46..08-51, 08-52..08-61, 08-64..08-66",
        "09-00..09-09, 09-11..09-15",
        "10-00..10-09, 10-10..10-19, 10-20, 10-22..10-27, 10-29..10-31, 10-33..10-41, 10-47, "
        "10-48..10-49",
        "11-00..11-09, 11-10..11-13, 11-18..11-23, 11-24, 11-26..11-34, 11-35..11-44, "
        "11-45..11-54, 11-55..11-56, 11-58..11-65, 11-66..11-71, 11-73, 11-76..11-77, "
        "11-78..11-82",
        "12-00..12-05, 12-11..12-14, 12-15..12-24, 12-25..12-30, 12-32..12-35, 12-36..12-39, "
        "12-41..12-46, 12-47..12-56, 12-57..12-66, 12-67..12-68, 12-72..12-76, 12-78..12-80, "
        "12-82, 12-85..12-87",
        "13-00..13-09, 13-10..13-14, 13-21..13-25, 13-26..13-35, 13-36..13-45, 13-46..13-53",
        "14-00..14-09, 14-10..14-19, 14-20..14-21, 14-23..14-29, 14-30..14-39, 14-40..14-47",
        "15-00..15-32",
        "16-00..16-05, 16-07..16-10, 16-11..16-20, 16-21..16-30, 16-31..16-36",
        "17-00..17-14",
        "18-00..18-06",
        "19-00..19-07",
        "20-00..20-09, 20-10..20-19, 20-20..20-29, 20-30..20-35, 20-43..20-44",
        "21-00..21-43",
        "22-00..22-08, 22-10, 22-11, 22-14..22-18, 22-20..22-22, 22-25, 22-26..22-34, 22-36, "
        "22-37..22-45, 22-52, 22-53..22-56",
        "23-00..23-09, 23-10..23-19, 23-20, 23-22..23-30, 23-31, 23-34..23-39, 23-41, "
        "23-66..23-67, 23-68..23-75, 23-78..23-79",
    };
    std::set<Code> onPage;
    for (const char* list : rows)
        for (const Code c : expandCodes(list)) {
            EXPECT_NE(rec(c), nullptr) << codeText(c);
            EXPECT_TRUE(onPage.insert(c).second) << codeText(c);
        }
    std::set<Code> offPage;
    for (const Code c : definedCodes())
        if (!onPage.count(c)) {
            EXPECT_TRUE(hasFlag(rec(c)->attr, FlagNotOnPage)) << codeText(c);
            offPage.insert(c);
        } else {
            EXPECT_FALSE(hasFlag(rec(c)->attr, FlagNotOnPage)) << codeText(c);
        }
    EXPECT_EQ(offPage, (std::set<Code>{{1, 1}, {12, 40}, {14, 22}}));
}

// Codes the other subsystems address directly must exist with the meaning they assume.
TEST_F(DataFiles, ParametersOtherSubsystemsAddressExist) {
    struct Case {
        const char* code;
        int kind;
        int32_t min;
        int32_t max;
    };
    const Case cases[] = {
        {"00-00", 5, 0, 6},
        {"00-02", 5, 0, 3},
        {"00-05", 5, 0, 5},
        {"00-63", 5, 0, 1},
        {"01-00", 4, 0, 255},
        {"01-02", 2, 10, 30000},
        {"03-30", 5, 0, 1},
        {"10-34", 0, 0, 4},
        {"13-06", 5, 0, 2},
        {"13-07", 0, 0, 9999},
        {"13-08", 5, 0, 6},
        {"22-03", 0, 2, 96},
        {"22-04", 0, 6, 60000},
        {"22-05", 0, 6, 60000},
        {"22-10", 0, 20, 200},
        {"23-00", 5, 0, 3},
        {"23-20", 5, 0, 2},
        {"11-49", 2, 1, 500},
        {"00-41", 7, 1, 23 * 256 + 79},
        {"12-21", 1, 0, 65535},
        {"12-22", 1, 0, 65535},
        {"12-19", 0, 0, 32000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const ParamRecord* r = table_->definedRecord(c.code);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(r->valueKind, c.kind);
        EXPECT_EQ(r->attr[AttrMin], c.min);
        EXPECT_EQ(r->attr[AttrMax], c.max);
    }
    // The oscillograph's monitors.
    for (const char* code :
         {"12-18", "12-23", "12-25", "12-26", "12-27", "12-28", "12-29", "12-30", "12-32", "12-33",
          "12-35", "12-36", "12-37", "12-38", "12-39", "12-40", "12-41", "12-44"})
        EXPECT_NE(table_->definedRecord(code), nullptr) << code;
    // Input function 40 switches to motor 2, whose maximum frequency is 01-16.
    EXPECT_NE(rec({3, 0})->options.at(40).find("Motor 2"), std::string::npos);
    EXPECT_TRUE(frequencyDependent(rec({1, 16})->attr));
    EXPECT_EQ(rec({10, 1})->options.at(0).substr(0, 2), "1:") << "10-01 counts from 1";
    EXPECT_EQ(optionOffset(rec({10, 1})->attr), 1);
}

// The forbidden-mode masks, judged by what they mean rather than against a copy of the rule
// table (the program's own table is compared with the files in the editing tests): a mask names
// only control modes 00-00 offers, every parameter stays writable in some mode, and the
// motor-kind rules hold (PM motor parameters are refused in every induction-motor mode).
TEST_F(DataFiles, ForbiddenControlModesMakeSenseForTheDrive) {
    const ParamRecord& mode = *rec({0, 0});
    const int modes = mode.attr[AttrMax] + 1;
    ASSERT_EQ(static_cast<int>(mode.options.size()), modes);
    int32_t pmModes = 0;
    for (int m = 0; m < modes; ++m)
        if (mode.options[m].find("PM") != std::string::npos) pmModes |= 1 << m;
    const int32_t everyMode = (1 << modes) - 1;
    const int32_t inductionModes = everyMode & ~pmModes;
    ASSERT_NE(pmModes, 0);
    ASSERT_NE(inductionModes, 0);

    int pmRows = 0;
    for (const Code c : definedCodes()) {
        const int32_t mask = rec(c)->attr[AttrForbiddenModes];
        SCOPED_TRACE(codeText(c));
        EXPECT_EQ(mask & ~everyMode, 0) << "names a control mode 00-00 does not offer";
        EXPECT_NE(mask, everyMode) << "refused in every control mode";
        if (c.group == 22 && mask != 0) {
            ++pmRows;
            EXPECT_EQ(mask & inductionModes, inductionModes) << "a PM row open to an induction mode";
        }
    }
    EXPECT_GT(pmRows, 20);
    // What switches modes, locks the parameters or restores them must work in every mode.
    for (const Code c : {Code{0, 0}, Code{13, 6}, Code{13, 8}})
        EXPECT_EQ(rec(c)->attr[AttrForbiddenModes], 0) << codeText(c);
    EXPECT_TRUE(forbiddenInMode(rec({6, 5})->attr, 3)) << "06-05 refused in SV";
    EXPECT_FALSE(forbiddenInMode(rec({0, 29})->attr, 3)) << "00-29 accepted in SV";
}

// Firmware gates, read-only rows and frame rules, by their meaning: a gate is a released version
// (1.00 up to the one a new drive reports) or "never"; the small frame never needs a later
// version than the others, and a row no large-frame firmware has is not on the small frame
// either; read-only rows are the identification, monitors, fault records and the PLC groups,
// never a parameter that switches modes, locks or restores the drive.
TEST_F(DataFiles, FirmwareGatesReadOnlyRowsAndFrameRulesMakeSense) {
    int gated = 0;
    for (const Code c : definedCodes()) {
        SCOPED_TRACE(codeText(c));
        const ParamAttrs& a = rec(c)->attr;
        const int32_t small = minVersion(a, false), large = minVersion(a, true);
        for (const int32_t gate : {small, large})
            EXPECT_TRUE(gate == kNoVersionGate || gate == kNeverWritable ||
                        (gate >= 100 && gate <= 135))
                << gate;
        if (large == kNeverWritable) {
            EXPECT_EQ(small, kNeverWritable);
        }
        if (small > 0 && large > 0) {
            EXPECT_LE(small, large);
        }
        EXPECT_EQ(small == kNoVersionGate, large == kNoVersionGate) << "half a gate";
        gated += large != kNoVersionGate;

        if (c.group == 14 || c.group == 15) {
            EXPECT_TRUE(readOnly(a)) << "PLC groups are shown only";
        }
        if (readOnly(a)) {
            EXPECT_EQ(a[AttrForbiddenModes], 0) << "a mode rule on a row nobody writes";
        }
    }
    EXPECT_GT(gated, 15);
    EXPECT_TRUE(versionAllows(rec({0, 34})->attr, false, 1.05f));
    EXPECT_FALSE(versionAllows(rec({0, 34})->attr, true, 1.05f));
    for (const Code c : {Code{13, 0}, Code{13, 1}, Code{12, 11}, Code{13, 10}})
        EXPECT_TRUE(readOnly(rec(c)->attr)) << codeText(c);
    for (const Code c : {Code{0, 0}, Code{1, 2}, Code{13, 6}, Code{13, 8}})
        EXPECT_FALSE(readOnly(rec(c)->attr)) << codeText(c);
    // Frame rules are about the small frame's missing hardware: input and output terminals.
    for (const Code c : definedCodes())
        if (hasFlag(rec(c)->attr, FlagFrameReserved)) {
            EXPECT_TRUE(c.group == 3 || c.group == 4) << codeText(c);
        }
}

TEST_F(DataFiles, FrequencyRowsFollowTheMaximumFrequencyRange) {
    int rows = 0;
    for (const Code c : definedCodes()) {
        const ParamRecord& r = *rec(c);
        if (!frequencyDependent(r.attr)) continue;
        SCOPED_TRACE(r.label);
        ++rows;
        EXPECT_EQ(r.valueKind, static_cast<int32_t>(ValueKind::TwoDecimals));
        EXPECT_TRUE(r.attr[AttrMin] == 0 || r.attr[AttrMin] == 10);
        EXPECT_EQ(r.attr[AttrMax], kMaxFrequencyRawLow);
        const ParamDisplaySettings high{true, false};
        EXPECT_EQ(rangeLabel(r.valueKind, r.attr, r.auxText, high),
                  r.attr[AttrMin] ? "0.1~599.0" : "0.0~599.0");
    }
    EXPECT_GT(rows, 40);
    const ParamRecord& upper = *rec({0, 12});
    EXPECT_EQ(rangeLabel(upper.valueKind, upper.attr, upper.auxText, {false, false}), "0.1~109.0");
    EXPECT_EQ(rangeLabel(upper.valueKind, upper.attr, upper.auxText, {false, true}), "0.10~300.00");
    EXPECT_EQ(rangeLabel(upper.valueKind, upper.attr, upper.auxText, {true, true}), "0.1~599.0");
}

TEST_F(DataFiles, MotorParameterListNamesTheMotorGroups) {
    ASSERT_FALSE(table_->codeList.empty());
    std::set<Code> listed;
    for (const CodeName& cn : table_->codeList) {
        SCOPED_TRACE(cn.code);
        const ParamRecord* r = table_->definedRecord(cn.code);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ(std::string(r->name()), cn.name);
        listed.insert(parseCode(cn.code));
    }
    for (const Code c : definedCodes())
        if (c.group == 2 || c.group == 17) {
            EXPECT_TRUE(listed.count(c)) << codeText(c);
        }
}

TEST(ModelDescriptionFile, ListsTheNineteenModelsInCodeOrder) {
    const auto models = LoadModelDescriptions(kDir + "N350.spe");
    ASSERT_EQ(models.size(), static_cast<size_t>(kModelCount));
    for (int i = 0; i < kModelCount; ++i) {
        EXPECT_EQ(models[i].name, ModelsByCode()[i].name);
        const bool low = (ModelsByCode()[i].code & 0xFF) < 33;
        EXPECT_NE(models[i].description.find(low ? "200V" : "400V"), std::string::npos)
            << models[i].name;
    }
}

}  // namespace
}  // namespace pv
