#include <gtest/gtest.h>

#include <string>

#include "Fixtures.h"
#include "project/DataPaths.h"
#include "project/ModelTable.h"
#include "project/ParamTable.h"

namespace pv {
namespace {

const char* kAttrs10 = "$$$$1,2,3,4,5,6,7,8,9,10";

TEST(ParamDefinitions, SplitsFieldsAtFirstOccurrences) {
    struct Case {
        const char* line;
        const char* label;
        const char* def;
        const char* set;
        const char* aux;
        int kind;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        // clang-format off
        {"00-00 Control Mode@0$1*0~6#5:V/F;V/F+PG;SLV$$$$0,6", "00-00 Control Mode", "0", "1",
         "0~6", 5, {"V/F", "V/F+PG", "SLV"}},
        {"00-00 Freq@50.00$60.00*0.00~300.00#2:$$$$0", "00-00 Freq", "50.00", "60.00",
         "0.00~300.00", 2, {""}},
        // No "@": label and default are empty/partial by the rule of first occurrences.
        {"00-00 Bare$5*x#0:a$$$$1", "", "00-00 Bare", "5", "x", 0, {"a"}},
        // No separators at all: empty fields, still a defined record.
        {"00-00 Just a name", "", "", "", "", 0, {""}},
        // A "$" before the "@" makes the default field empty.
        {"00-00 A$b@1$2*3#4:o$$$$9", "00-00 A$b", "", "b@1$2", "3", 4, {"o"}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        ParamTable t;
        t.ParseParamDefinitions(std::string(c.line) + "\n##Basic\n");
        ASSERT_EQ(t.groups.size(), 1u);
        const ParamRecord& r = t.groups[0].params[0];
        EXPECT_EQ(r.label, c.label);
        EXPECT_EQ(r.defaultValue, c.def);
        EXPECT_EQ(r.setValue, c.set);
        EXPECT_EQ(r.auxText, c.aux);
        EXPECT_EQ(r.valueKind, c.kind);
        EXPECT_EQ(r.options, c.options);
        EXPECT_EQ(r.defined, 1);
        EXPECT_EQ(t.paramDefined[0][0], 1);
    }
}

TEST(ParamDefinitions, FillsSkippedIndexesWithFillerRecords) {
    ParamTable t;
    t.ParseParamDefinitions(
        "00-00 Mode@0$0*a#0:$$$$0\n00-05 Source@3$3*b#0:$$$$0\n##Basic Parameters\n");
    ASSERT_EQ(t.groups.size(), 1u);
    const ParamGroup& g = t.groups[0];
    EXPECT_EQ(g.name, "Basic Parameters");
    EXPECT_EQ(g.defined, 1);
    ASSERT_EQ(g.params.size(), 100u);
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        const ParamRecord& r = g.params[i];
        const bool named = i == 0 || i == 5;
        EXPECT_EQ(r.defined, named ? 1 : 0);
        EXPECT_EQ(t.paramDefined[0][i], named ? 1 : 0);
        if (!named) {
            EXPECT_EQ(r.label, FormatParamCode(0, i));
            EXPECT_EQ(r.defaultValue, "0");
            EXPECT_EQ(r.setValue, "0");
            EXPECT_TRUE(r.auxText.empty());
            EXPECT_TRUE(r.options.empty());
        }
    }
}

TEST(ParamDefinitions, FillsSkippedGroupsWithFillerGroups) {
    ParamTable t;
    t.ParseParamDefinitions("00-00 A@1$1*#0:$$$$0\n##G0\n03-02 B@2$2*#0:$$$$0\n##G3\n");
    ASSERT_EQ(t.groups.size(), 4u);
    EXPECT_EQ(t.groups[1].name, "01-XX");
    EXPECT_EQ(t.groups[2].name, "02-XX");
    for (int g : {1, 2}) {
        EXPECT_EQ(t.groups[g].defined, 0);
        ASSERT_EQ(t.groups[g].params.size(), 100u);
        EXPECT_EQ(t.groups[g].params[42].label, FormatParamCode(g, 42));
        EXPECT_EQ(t.groups[g].params[42].defined, 0);
    }
    EXPECT_EQ(t.groups[3].name, "G3");
    EXPECT_EQ(t.groups[3].params[2].label, "03-02 B");
    EXPECT_EQ(t.FindRecord(3, "03-02"), 2);
}

TEST(ParamDefinitions, CarriesAttributesBetweenLines) {
    ParamTable t;
    t.ParseParamDefinitions(std::string("00-00 A@0$0*#0:") + kAttrs10 +
                            "\n00-01 B@0$0*#0:$$$$70,71,72\n00-02 C@0$0*#0:$$$$5\n##G\n");
    const auto& p = t.groups[0].params;
    EXPECT_EQ(p[0].attr, (std::array<int32_t, 10>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(p[1].attr, (std::array<int32_t, 10>{70, 71, 72, 4, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(p[2].attr, (std::array<int32_t, 10>{5, 71, 72, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(ParamDefinitions, TakesAtMostTenIntegers) {
    ParamTable t;
    t.ParseParamDefinitions("00-00 A@0$0*#0:$$$$1,2,3,4,5,6,7,8,9,10,11,12\n##G\n");
    EXPECT_EQ(t.groups[0].params[0].attr, (std::array<int32_t, 10>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
}

TEST(ParamDefinitions, ClipsInputThatBreaksTheRules) {
    struct Case {
        const char* name;
        std::string text;
        size_t groups;
        std::vector<std::string> definedCodes;  // codes expected defined in the table
        std::vector<std::string> fillerCodes;   // codes expected as fillers
    };
    const Case cases[] = {
        // clang-format off
        {"index out of order is skipped",
         "00-05 A@1$1*#0:$$$$0\n00-03 B@2$2*#0:$$$$0\n##G\n", 1, {"00-05"}, {"00-03"}},
        {"repeated index is skipped",
         "00-05 A@1$1*#0:$$$$0\n00-05 B@2$2*#0:$$$$0\n00-06 C@3$3*#0:$$$$0\n##G\n", 1,
         {"00-05", "00-06"}, {}},
        {"group 25 and beyond never enters the table",
         "00-00 A@1$1*#0:$$$$0\n##G0\n25-00 H@1$1*#0:$$$$0\n##G25\n99-99 X@1$1*#0:$$$$0\n##G99\n", 1,
         {"00-00"}, {}},
        {"index 100 or more is skipped",
         "0-100 A@1$1*#0:$$$$0\n00-01 B@1$1*#0:$$$$0\n##G\n", 1, {"00-01"}, {"00-00"}},
        {"a group number already taken is dropped",
         "00-00 A@1$1*#0:$$$$0\n##G0\n01-00 B@1$1*#0:$$$$0\n##G1\n00-07 C@1$1*#0:$$$$0\n##again\n", 2,
         {"00-00", "01-00"}, {"00-07"}},
        {"a line of another group in the middle of a group is skipped",
         "00-00 A@1$1*#0:$$$$0\n01-07 B@1$1*#0:$$$$0\n00-02 C@1$1*#0:$$$$0\n##G0\n", 1,
         {"00-00", "00-02"}, {}},
        {"lines after the last group line are not added",
         "00-00 A@1$1*#0:$$$$0\n##G0\n01-00 B@1$1*#0:$$$$0\n", 1, {"00-00"}, {}},
        {"blank lines are ignored",
         "\n00-00 A@1$1*#0:$$$$0\n   \n00-01 B@1$1*#0:$$$$0\n##G\n", 1, {"00-00", "00-01"}, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ParamTable t;
        t.ParseParamDefinitions(c.text);
        ASSERT_EQ(t.groups.size(), c.groups);
        for (const auto& g : t.groups) EXPECT_EQ(g.params.size(), 100u);
        for (const auto& code : c.definedCodes) {
            const ParamRecord* r = t.definedRecord(code);
            ASSERT_NE(r, nullptr) << code;
            EXPECT_EQ(r->code(), code);
        }
        for (const auto& code : c.fillerCodes) {
            const ParamRecord* r = t.record(code);
            ASSERT_NE(r, nullptr) << code;
            EXPECT_EQ(r->defined, 0) << code;
        }
        int flags = 0;
        for (const auto& row : t.paramDefined)
            for (int32_t f : row) flags += f;
        EXPECT_EQ(flags, t.definedParamCount());
    }
}

TEST(ParamDefinitions, ClipsOverLongLinesToTheLineBuffer) {
    const std::string longName(kMaxLineLength + 5000, 'x');
    ParamTable t;
    t.ParseParamDefinitions("00-00 " + longName + "@1$1*#0:$$$$0\n00-01 B@2$2*#0:$$$$0\n##G\n");
    ASSERT_EQ(t.groups.size(), 1u);
    // The clipped line has no "@" left: its fields come out empty, and the next line is intact.
    EXPECT_LE(t.groups[0].params[0].defaultValue.size(), kMaxLineLength);
    EXPECT_EQ(t.groups[0].params[1].label, "00-01 B");
    EXPECT_EQ(t.groups[0].params[1].defaultValue, "2");
}

TEST(ParamDefinitions, DropsCarriageReturnOnlyBeforeLineFeed) {
    ParamTable t;
    t.ParseParamDefinitions("00-00 A@1$1*r#0:x$$$$4\r\n##Name\r\n");
    EXPECT_EQ(t.groups[0].name, "Name");
    EXPECT_EQ(t.groups[0].params[0].attr[0], 4);
}

TEST(OptionLists, ReplaceTheInlineOptions) {
    ParamTable t;
    t.ParseParamDefinitions("00-00 A@0$0*#5:$$$$0\n00-01 B@0$0*#5:x;y$$$$0\n##G\n");
    ASSERT_EQ(t.groups[0].params[0].options, std::vector<std::string>{""});
    EXPECT_TRUE(t.ParseOptionLists("  first\n\tsecond\n\n####00-00\nlast\n"));
    EXPECT_EQ(t.groups[0].params[0].options, (std::vector<std::string>{"first", "second", ""}));
    // Lines after the last closing line are ignored.
    EXPECT_EQ(t.groups[0].params[1].options, (std::vector<std::string>{"x", "y"}));
}

TEST(OptionLists, ClosingLineNamesItsParameterByItsLastFiveCharacters) {
    struct Case {
        const char* name;
        const char* closing;
        std::vector<std::string> options01;  // options of 00-01 afterwards
    };
    const Case cases[] = {
        {"bare closing line", "####00-01", {"one", "two"}},
        {"leading blanks are removed first", " \t ####00-01", {"one", "two"}},
        {"text before the hashes does not matter", "end of list ####00-01", {"one", "two"}},
        {"more hashes", "########00-01", {"one", "two"}},
        {"a CR before the line feed is dropped", "####00-01\r", {"one", "two"}},
        // The last five characters are then "0-01 ": no record of group 0 starts with them.
        {"a trailing blank shifts the code", "####00-01 ", {"b"}},
        {"three hashes are no closing line", "###00-01", {"b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ParamTable t;
        t.ParseParamDefinitions("00-00 A@0$0*#5:a$$$$0\n00-01 B@0$0*#5:b$$$$0\n##G\n");
        EXPECT_TRUE(t.ParseOptionLists(std::string("one\n  two\n") + c.closing + "\n"));
        EXPECT_EQ(t.groups[0].params[1].options, c.options01);
        EXPECT_EQ(t.groups[0].params[0].options, std::vector<std::string>{"a"});
    }
}

TEST(OptionLists, ListOfUnknownCodeIsNotAttachedToAnotherParameter) {
    ParamTable t;
    t.ParseParamDefinitions("00-00 A@0$0*#5:a$$$$0\n00-01 B@0$0*#5:b$$$$0\n##G\n");
    // "0X-50" names group 0 but no record of it.
    EXPECT_TRUE(t.ParseOptionLists("stray1\nstray2\n####0X-50\nmine\n####00-01\n"));
    for (int i = 2; i < 100; ++i) EXPECT_TRUE(t.groups[0].params[i].options.empty()) << i;
    EXPECT_EQ(t.groups[0].params[0].options, std::vector<std::string>{"a"});
    EXPECT_EQ(t.groups[0].params[1].options, std::vector<std::string>{"mine"});
}

TEST(OptionLists, GroupBeyondTheTableEndsTheLoad) {
    ParamTable t;
    t.ParseParamDefinitions("00-00 A@0$0*#5:a$$$$0\n##G\n");
    EXPECT_FALSE(t.ParseOptionLists("x\n####00-00\ny\n####07-00\nz\n####00-00\n"));
    EXPECT_EQ(t.groups[0].params[0].options, std::vector<std::string>{"x"});
    EXPECT_FALSE(t.ParseOptionLists("y\n####99-00\n"));
}

TEST(CodeList, ReadsPairsInFileOrder) {
    struct Case {
        const char* name;
        const char* text;
        std::vector<CodeName> pairs;
    };
    const Case cases[] = {
        {"code, one separator, name",
         "  12-00 Output frequency\n12-01:Output current\n",
         {{"12-00", "Output frequency"}, {"12-01", "Output current"}}},
        {"a line of only the code, or the code and its separator, has no name",
         "12-02\n\t12-03 \n",
         {{"12-02", ""}, {"12-03", ""}}},
        {"the name is everything from position 6 on, blanks included",
         "12-04  two blanks \n",
         {{"12-04", " two blanks "}}},
        {"every line is a pair, an empty one too",
         "12-00 A\n\n   \n12-01 B",
         {{"12-00", "A"}, {"", ""}, {"", ""}, {"12-01", "B"}}},
        {"an empty file has no pairs", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ParamTable t;
        t.codeList.push_back({"old", "old"});
        t.ParseCodeList(c.text);
        EXPECT_EQ(t.codeList, c.pairs);
    }
}

TEST(ModelDefaults, ParsesKeysAndValuesUntilEnd) {
    ParamTable t;
    t.ParseModelDefaults("00-14:1.0,2.0,3.0\n00-15:a,,c,\n  END\n00-16:zzz\n");
    ASSERT_EQ(t.modelDefaults.size(), 2u);
    EXPECT_EQ(t.modelDefaults[0].key, "00-14");
    EXPECT_EQ(t.modelDefaults[0].values, (std::vector<std::string>{"1.0", "2.0", "3.0"}));
    EXPECT_EQ(t.modelDefaults[1].values, (std::vector<std::string>{"a", "", "c"}));
}

TEST(ModelDefaults, ScansEveryLineCharacterByCharacter) {
    using Values = std::vector<std::string>;
    struct Case {
        const char* name;
        const char* text;
        std::vector<ModelDefaultEntry> entries;
    };
    const Case cases[] = {
        {"key, values, no value after a final comma", "00-14:1,2,\n", {{"00-14", {"1", "2"}}}},
        {"an empty value between commas is kept", "k:,x,,y\n", {{"k", {"", "x", "", "y"}}}},
        {"leading blanks belong to the key", "  00-15:5\n", {{"  00-15", {"5"}}}},
        {"a second colon ends the key again", "a:b:c\n", {{"b", {"c"}}}},
        {"a line without a colon has an empty key", "1,2\n", {{"", {"1", "2"}}}},
        // The position of a line is what binds it, so an empty line still takes its position.
        {"an empty line is an entry of its own",
         "00-14:1\n\n  \n00-15:2\n",
         {{"00-14", {"1"}}, {"", {}}, {"", {"  "}}, {"00-15", {"2"}}}},
        {"END after leading blanks ends the file", "x:1\n \tEND\ny:2\n", {{"x", {"1"}}}},
        {"END with more on the line is an entry", "END 1\nEND\n", {{"", {"END 1"}}}},
        {"a CR before the line feed is not part of the last value",
         "x:1,2\r\nEND\r\n",
         {{"x", {"1", "2"}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ParamTable t;
        t.modelDefaults.push_back({"old", Values{"old"}});
        t.ParseModelDefaults(c.text);
        EXPECT_EQ(t.modelDefaults, c.entries);
    }
}

TEST(ModelDefaults, ValueIndexFollowsTheModelCode) {
    struct Case {
        uint32_t code;
        int index;
    };
    const Case cases[] = {{0x35001, 0},  {0x35009, 8},  {0x35012, 17}, {0x35013, -1},
                          {0x35014, -1}, {0x35020, -1}, {0x35021, 18}, {0x3502A, 27},
                          {0x35037, 40}, {0x35038, -1}, {0x35000, -1}};
    for (const auto& c : cases) EXPECT_EQ(ModelDefaultIndex(c.code), c.index) << std::hex << c.code;
}

class ModelDefaultsApply : public ::testing::Test {
protected:
    void SetUp() override {
        table.ParseParamDefinitions(test::FixtureDefinitions(23, 0));
        table.ParseModelDefaults(test::FixtureModelDefaults());
    }
    ParamTable table;
};

TEST_F(ModelDefaultsApply, WritesEveryBoundParameter) {
    struct Case {
        uint32_t code;
        int index;
    };
    for (const Case c : {Case{0x35001, 0}, Case{0x35021, 18}, Case{0x35003, 2}}) {
        SCOPED_TRACE(c.code);
        table.applyModelDefaultsToSetValues = 1;
        EXPECT_EQ(table.ApplyModelDefaults(c.code), kModelDefaultBindings);
        const auto& binding = ModelDefaultBinding();
        for (int pos = 0; pos < kModelDefaultBindings; ++pos) {
            const ParamRecord* r = table.record(binding[pos].group, binding[pos].index);
            ASSERT_NE(r, nullptr);
            EXPECT_EQ(r->defaultValue, test::FixtureModelValue(pos, c.index));
            EXPECT_EQ(r->setValue, test::FixtureModelValue(pos, c.index));
        }
    }
}

TEST_F(ModelDefaultsApply, DefaultsOnlyWhenTheFlagIsClear) {
    table.applyModelDefaultsToSetValues = 0;
    table.ApplyModelDefaults(0x35002);
    const ParamRecord* r = table.record("13-00");
    EXPECT_EQ(r->defaultValue, test::FixtureModelValue(54, 1));
    EXPECT_EQ(r->setValue, "1300");
}

TEST_F(ModelDefaultsApply, ModelOfNeitherClassLeavesTheDefinitions) {
    EXPECT_EQ(table.ApplyModelDefaults(0x35014), 0);
    EXPECT_EQ(table.record("00-14")->defaultValue, "14");
}

TEST_F(ModelDefaultsApply, EntryFortyFiveBindsParameter0802) {
    std::string values;
    for (int i = 1; i <= 41; ++i) values += (i > 1 ? "," : "") + std::to_string(i) + ".0";
    std::string line = "08-02:" + values;
    ParamTable parsed;
    parsed.ParseModelDefaults(line);
    table.modelDefaults[45] = parsed.modelDefaults[0];
    table.ApplyModelDefaults(0x35003);
    EXPECT_EQ(table.record("08-02")->defaultValue, "3.0");
    EXPECT_EQ(table.record("08-02")->setValue, "3.0");
}

TEST_F(ModelDefaultsApply, ShortEntriesAndShortFilesLeaveRecordsAlone) {
    table.modelDefaults[0].values.resize(5);  // 00-14 has no value for index 18
    table.modelDefaults.resize(10);           // entries 10..66 missing
    EXPECT_EQ(table.ApplyModelDefaults(0x35021), 9);
    EXPECT_EQ(table.record("00-14")->defaultValue, "14");
    EXPECT_EQ(table.record("00-15")->defaultValue, test::FixtureModelValue(1, 18));
    EXPECT_EQ(table.record("22-17")->defaultValue, "2217");
}

TEST(ParamTableLookups, FindRecordComparesTheFirstFiveCharacters) {
    ParamTable t;
    t.ParseParamDefinitions("00-00 A@0$0*#0:$$$$0\n00-03 B@0$0*#0:$$$$0\n##G\n");
    EXPECT_EQ(t.FindRecord(0, "00-03"), 3);
    EXPECT_EQ(t.FindRecord(0, "00-02"), 2);  // the filler carries the bare code
    EXPECT_EQ(t.FindRecord(0, "00-3"), -1);
    EXPECT_EQ(t.FindRecord(1, "01-00"), -1);
    EXPECT_EQ(t.FindRecord(-1, "00-00"), -1);
    EXPECT_EQ(t.record("00-03")->label, "00-03 B");
    EXPECT_EQ(t.record("00-03")->name(), "B");
    EXPECT_EQ(t.record("0-03"), nullptr);
    EXPECT_EQ(t.record(0, 100), nullptr);
    EXPECT_EQ(t.definedRecord("00-02"), nullptr);
}

TEST(ParamTableFiles, MissingFilesLeaveTheirPartEmpty) {
    test::TempDir dir;
    ParamTable t;
    t.ParseParamDefinitions("00-00 A@0$0*#0:$$$$0\n##G\n");
    t.codeList.push_back({"a", "b"});
    EXPECT_FALSE(t.LoadOptionLists(dir.file("none")));
    EXPECT_EQ(t.groups.size(), 1u);
    EXPECT_FALSE(t.LoadCodeList(dir.file("none")));
    EXPECT_TRUE(t.codeList.empty());
    EXPECT_FALSE(t.LoadModelDefaults(dir.file("none"), 0x35001));
    EXPECT_TRUE(t.modelDefaults.empty());
    EXPECT_FALSE(t.LoadParamDefinitions(dir.file("none")));
    EXPECT_TRUE(t.groups.empty());
}

TEST(ParamTableFiles, LoadsAFixtureDataFolder) {
    test::TempDir dir;
    test::WriteFixtureData(dir);
    ParamTable t;
    EXPECT_TRUE(t.LoadParamDefinitions(dir.file("N350PARAM.DAT")));
    EXPECT_TRUE(t.LoadOptionLists(dir.file("N350ComboxList.DAT")));
    EXPECT_TRUE(t.LoadCodeList(dir.file("N350MOTORPARAM.DAT")));
    EXPECT_TRUE(t.LoadModelDefaults(dir.file("N350InitialParam.dat"), 0x35021));
    EXPECT_EQ(t.groups.size(), 24u);
    EXPECT_EQ(t.definedGroupCount(), 24);
    EXPECT_EQ(t.record("00-00")->options,
              (std::vector<std::string>{"V/F control", "Vector control"}));
    EXPECT_EQ(t.codeList.size(), 2u);
    EXPECT_EQ(t.record("13-00")->setValue, test::FixtureModelValue(54, 18));
}

}  // namespace
}  // namespace pv
