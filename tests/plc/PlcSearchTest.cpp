#include "plc/PlcSearch.h"

#include <gtest/gtest.h>

#include "res/ScriptedPrompts.h"

using namespace pv;
using namespace pv::plc;

TEST(PlcSearch, TypedNamesAreNormalisedOrRefused) {
    const std::pair<const char*, const char*> cases[] = {
        {"i3", "i03 "},  {"I1", "I01 "},  {"mF", "m0F "},   {"Q02", "Q02 "},
        {"AS1", "AS01"}, {"MD4", "MD04"}, {"D", "D00 "},    {"d", "d00 "},
        {"-", "--- "},   {" ", "    "},   {"X1", "this type not support X"},
        {"I123", "Input 'I123' Data Error"}, {"Q", "Input 'Q' Data Error"},
        {"AS", "Input 'AS' Data Error"},     {"T0G", "Input 'T0G' Data Error"},
    };
    for (const auto& [typed, expected] : cases) {
        const NormalizedName n = NormalizeElementName(typed);
        EXPECT_EQ(n.accepted() ? n.name : n.refusal, expected) << typed;
    }
}

TEST(PlcSearch, FindWalksCellsInOrderSkippingCommentLinesAndKeepsCase) {
    PlcProgram p;
    p.setContact(0, 0, 'I', 3);
    p.setContact(1, 2, 'i', 3);
    p.setDifferential(2, 0, true);
    p.setDifferential(2, 1, false);
    p.setCoil(3, kCoilSet, 'T', 1);
    p.setContact(4, 1, 'T', 1);
    // A comment line stands between ladder rows 1 and 2 (display line 2).
    p.commentFlags[2] = 1;
    p.commentCount = 1;
    p.recomputeDisplayLineCount();

    struct Case {
        const char* name;
        CellPlace from;
        bool down;
        std::optional<CellPlace> expected;
    };
    const Case cases[] = {
        {"i3", {0, 0}, true, CellPlace{1, 4}},  // i03, not the I03 under the cursor's row
        {"I3", {0, 0}, true, std::nullopt},     // the cursor's own cell is not found again
        {"D", {0, 0}, true, CellPlace{3, 2}},   // D00, not the d00 before it
        {"T1", {0, 0}, true, CellPlace{4, 6}},  // the coil T01
        {"T1", {4, 6}, true, CellPlace{5, 2}},  // then the contact
        {"T1", {5, 2}, false, CellPlace{4, 6}},
        {"i3", {3, 0}, false, CellPlace{1, 4}},  // upwards over the comment line
    };
    for (const Case& c : cases) {
        const NormalizedName name = NormalizeElementName(c.name);
        ASSERT_TRUE(name.accepted()) << c.name;
        EXPECT_EQ(FindNext(p, c.from, name.name, c.down), c.expected)
            << c.name << " from " << c.from.displayLine << "/" << c.from.position;
    }
    ScriptedPrompts prompts;
    EXPECT_FALSE(RunFindNext(p, {0, 0}, "G5", true, prompts));
    EXPECT_EQ(prompts.texts("message"),
              (std::vector<std::string>{"Search Contact/Coil 'G5' not find."}));
}

TEST(PlcSearch, ReplaceAsksForEachCellAndRefusesASecondTimerCoil) {
    PlcProgram p;
    p.setContact(0, 0, 'T', 1);
    p.setCoil(0, kCoilOutput, 'T', 1);
    p.setCoil(1, kCoilOutput, 'T', 2);
    p.setContact(2, 1, 'T', 1);
    ScriptedPrompts prompts;
    prompts.yesNoCancelAnswers = {YesNoCancel::Yes, YesNoCancel::Yes, YesNoCancel::No};
    EXPECT_EQ(RunReplace(p, "T1", "T2", prompts), 1);
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{
                                 "yesNoCancel: Replace 'T01' to 'T02' ?",
                                 "yesNoCancel: Replace 'T01' to 'T02' ?",
                                 "error: T02\nReused",
                                 "yesNoCancel: Replace 'T01' to 'T02' ?",
                             }));
    EXPECT_EQ(p.cellTextAt(0, 0), "T02");
    EXPECT_EQ(p.coilTextAt(0).substr(1), "T01");
    EXPECT_EQ(p.cellTextAt(2, 1), "T01");

    // A coil cannot take an input's name: the user is asked whether to go on.
    ScriptedPrompts more;
    more.yesNoAnswers = {false};
    EXPECT_EQ(RunReplace(p, "T1", "I1", more), 0);
    EXPECT_EQ(more.texts("yesNo"),
              (std::vector<std::string>{"Can not to replace 'T01' to 'I01' !\r\nContinue?"}));
}
