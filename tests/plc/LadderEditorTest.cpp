// The ladder editor's model and the block records: the edge cases users hit (a link toggled
// twice, paste beyond capacity, deep undo, cut across comment lines, keys per position) and
// each record field's bytes.
#include <gtest/gtest.h>

#include <deque>

#include "plc/BlockRecords.h"
#include "plc/LadderEditor.h"
#include "plc/ProgramText.h"
#include "res/ScriptedPrompts.h"

namespace pv {
namespace {

bool hasUpForTest(uint8_t gap) {
    return gap == kGapLinkUp || gap == kGapLinkThrough;
}

// Answers the element dialogs from queues; an empty queue cancels.
struct QueuedDialogs : LadderDialogs {
    std::deque<std::string> cells;
    std::deque<std::array<uint8_t, 4>> coils;
    std::deque<std::array<std::string, kCommentTextLines>> comments;
    std::function<void(PlcProgram&)> onCoil;
    std::vector<std::string> asked;
    bool editContact(std::string& cell, char letter) override {
        asked.push_back(std::string("contact ") + (letter ? letter : '-'));
        if (cells.empty()) return false;
        cell = cells.front();
        cells.pop_front();
        return true;
    }
    bool editCoil(std::array<uint8_t, 4>& coil, const std::string& page, PlcProgram& p) override {
        asked.push_back("coil " + page);
        if (coils.empty()) return false;
        coil = coils.front();
        coils.pop_front();
        if (onCoil) onCoil(p);
        return true;
    }
    bool editComment(std::array<std::string, kCommentTextLines>& lines) override {
        asked.push_back("comment");
        if (comments.empty()) return false;
        lines = comments.front();
        comments.pop_front();
        return true;
    }
};

struct Editor : ::testing::Test {
    PlcProgram program;
    ScriptedPrompts prompts;
    QueuedDialogs dialogs;
    LadderEditor e{program, prompts, dialogs};

    void comment(int line, const std::string& text) {
        ASSERT_TRUE(e.insertComment(line, {text, "", "", ""}));
    }
    void fillRows(int n) {
        for (int r = 0; r < n; ++r) program.setContact(r, 0, 'I', 1);
        e.resetHistory();
    }
};

TEST_F(Editor, LinkToggledTwiceRestoresTheBytes) {
    struct Case {
        const char* what;
        uint8_t upper, lower;  // gap 1 of rows 4 and 5 before
        bool upperCell, lowerCell;
    };
    const Case cases[] = {
        {"nothing on either side", 0, 0, false, false},
        {"wires through both gaps", '-', '-', true, true},
        {"a blank left by a cleared cell", ' ', ' ', false, false},
        {"a NUL beside a filled cell", 0, 0, true, true},
        {"a link arriving above", kGapLinkUp, 0, true, false},
        {"a link leaving below", 0, kGapLinkDown, false, true},
        {"links through both", kGapLinkThrough, kGapLinkThrough, true, true},
    };
    for (const auto& c : cases) {
        program.reset();
        e.resetHistory();
        if (c.upperCell) program.cellText[4][0] = 'I';
        if (c.lowerCell) program.cellText[5][0] = 'M';
        program.cellText[4][3] = c.upper;
        program.cellText[5][3] = c.lower;
        program.linkMarks[5][2] = hasUpForTest(c.lower) ? kLinkMark : 0;
        const PlcProgram before = program;
        ASSERT_TRUE(e.toggleLink(5, 0)) << c.what;
        EXPECT_EQ(program.linkMarks[5][2], hasUpForTest(c.lower) ? 0 : kLinkMark) << c.what;
        ASSERT_TRUE(e.toggleLink(5, 0)) << c.what;
        EXPECT_EQ(program.cellText, before.cellText) << c.what;
        EXPECT_EQ(program.linkMarks, before.linkMarks) << c.what;
    }
}

TEST_F(Editor, PasteRespectsTheCapacity) {
    struct Case {
        const char* what;
        int usedRows, comments;  // in the program before
        int clipRows, clipComments;
        bool fits;
    };
    const Case cases[] = {
        {"one row into a full program", 80, 0, 1, 0, false},
        {"one row with one blank row left", 79, 0, 1, 0, true},
        {"two rows with one blank row left", 79, 0, 2, 0, false},
        {"a comment line into 120 comments", 0, 120, 0, 1, false},
        {"a comment line into 119 comments", 0, 119, 0, 1, true},
    };
    for (const auto& c : cases) {
        program.reset();
        // The clipboard first, from a scratch program of its own.
        PlcProgram source;
        ScriptedPrompts quiet;
        LadderEditor from(source, quiet, dialogs);
        for (int i = 0; i < c.clipComments; ++i) from.insertComment(0, {"c", "", "", ""});
        for (int r = 0; r < c.clipRows; ++r) source.setContact(r, 0, 'Q', 2);
        from.setCursor(0, 0);
        from.markStart();
        from.setCursor(c.clipRows + c.clipComments - 1, 0);
        from.markEnd();
        ASSERT_TRUE(from.copy());
        fillRows(c.usedRows);
        for (int i = 0; i < c.comments; ++i) comment(0, "x");
        LadderEditor to(program, prompts, dialogs);
        to.setClipboard(from.clipboard());
        to.setCursor(0, 0);
        prompts.shown.clear();
        const PlcProgram before = program;
        EXPECT_EQ(to.paste(), c.fits) << c.what;
        if (!c.fits) {
            EXPECT_EQ(prompts.shown,
                      std::vector<std::string>{"error: The content of paste beyond the range."})
                << c.what;
            EXPECT_EQ(program, before) << c.what;
        } else {
            EXPECT_EQ(program.commentCount, uint32_t(c.comments + c.clipComments)) << c.what;
        }
    }
}

TEST_F(Editor, UndoGoesBackAHundredStepsAndRedoReturns) {
    for (int i = 0; i < 120; ++i) program.cellText[i % 80][0] = 'I', e.commitExternalChange();
    int steps = 0;
    while (e.undo()) ++steps;
    EXPECT_EQ(steps, kUndoDepth);
    EXPECT_FALSE(program.isRowBlank(0));  // the 20 oldest steps are gone
    while (e.redo()) --steps;
    EXPECT_EQ(steps, 0);
    EXPECT_TRUE(e.canUndo());
    // A new step after undoing drops what could have been redone.
    e.undo();
    program.cellText[3][4] = 'M';
    e.commitExternalChange();
    EXPECT_FALSE(e.canRedo());
}

TEST_F(Editor, CutAcrossCommentLinesKeepsEightyRows) {
    fillRows(3);  // rows 0..2: I01
    program.setContact(1, 1, 'M', 5);
    comment(1, "between 0 and 1");
    comment(3, "between 1 and 2");
    // Lines: 0 row0, 1 comment, 2 row1, 3 comment, 4 row2.
    e.setCursor(1, 0);
    e.markStart();
    e.setCursor(3, 0);
    e.markEnd();
    ASSERT_TRUE(e.cut());
    EXPECT_EQ(program.commentCount, 0u);
    EXPECT_EQ(program.displayLineCount, 80u);
    EXPECT_EQ(program.cellTextAt(1, 0), "I01");  // row 2 moved up
    EXPECT_EQ(program.cellTextAt(1, 1), "   ");
    EXPECT_EQ(program.ladderRowsUsed(), 2);
    ASSERT_EQ(e.clipboard().size(), 3u);
    EXPECT_EQ(e.clipboardLadderRows(), 1);
    // Pasting it back at line 1 restores the program.
    e.setCursor(1, 0);
    ASSERT_TRUE(e.paste());
    EXPECT_EQ(program.commentText(1, 0), "between 0 and 1");
    EXPECT_EQ(program.cellTextAt(1, 1), "M05");
    EXPECT_EQ(program.displayLineCount, 82u);
    EXPECT_EQ(e.line(), 4);
}

TEST_F(Editor, KeysMeanWhatTheirPositionAllows) {
    struct Case {
        char key;
        int position;
        Tool tool;
    };
    const Case cases[] = {
        {'d', 0, Tool::Differential}, {'D', 6, Tool::MD},      {'S', 6, Tool::AS},
        {'S', 2, Tool::None},         {'I', 6, Tool::None},    {'A', 4, Tool::Wire},
        {'A', 6, Tool::None},         {'L', 3, Tool::Link},    {'L', 2, Tool::None},
        {'Q', 1, Tool::None},         {'w', 5, Tool::Comment}, {'F', 6, Tool::F},
    };
    for (const auto& c : cases)
        EXPECT_EQ(LadderEditor::toolForKey(c.key, c.position), c.tool)
            << c.key << " at " << c.position;

    // A key opens its dialog at once; a comment line ignores letters.
    dialogs.cells = {"i03"};
    e.setCursor(0, 2);
    EXPECT_TRUE(e.pressToolKey('I'));
    EXPECT_EQ(program.cellTextAt(0, 1), "i03");
    EXPECT_EQ(program.cellText[0][7], '-');
    EXPECT_EQ(e.tool(), Tool::None);
    comment(0, "note");
    e.setCursor(0, 0);
    EXPECT_FALSE(e.pressToolKey('I'));
    EXPECT_EQ(dialogs.asked, std::vector<std::string>{"contact I"});
    // Right on position 6 goes to the next line; Left at the very start stays.
    e.setCursor(0, 6);
    e.moveRight();
    EXPECT_EQ(e.cursorIndex(), 7);
    e.setCursor(0, 0);
    e.moveLeft();
    EXPECT_EQ(e.cursorIndex(), 0);
    // Editing works only in Program mode.
    e.mode = PlcMode::Monitor;
    e.setCursor(1, 0);
    EXPECT_FALSE(e.apply(Tool::Wire));
}

TEST_F(Editor, DeletingACommentLineAsksWithItsNumber) {
    comment(0, "first");
    prompts.yesNoAnswers = {false, true};
    e.setCursor(0, 0);
    EXPECT_FALSE(e.apply(Tool::Delete));
    EXPECT_TRUE(e.apply(Tool::Delete));
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"yesNo: Delete the line 001.\n?",
                                                       "yesNo: Delete the line 001.\n?"}));
    EXPECT_EQ(program.commentCount, 0u);
    // Insert refuses while the last ladder row is in use.
    fillRows(80);
    EXPECT_FALSE(e.apply(Tool::InsertRow));
}

TEST(BlockRecords, FieldsWriteTheirBytes) {
    struct Case {
        const char* what;
        std::function<void(PlcProgram&)> write;
        std::function<std::vector<uint8_t>(const PlcProgram&)> bytes;
        std::vector<uint8_t> golden;
    };
    auto timer = [](const PlcProgram& p) {
        return std::vector<uint8_t>(p.timers[0].begin(), p.timers[0].begin() + 11);
    };
    const Case cases[] = {
        {"timer mode 1, 5.0 s",
         [](PlcProgram& p) {
             WriteTimer(p.timers[0], {1, 1, BlockValue::constantOf(50), {}, 1, {}});
         },
         timer,
         {0x81, 0x11, 0x00, 0x50, 0x4C, 0x6F, 0, 0x71, 0, 0, 0}},
        {"timer mode 2 reset by I02, preset AS03",
         [](PlcProgram& p) {
             WriteTimer(
                 p.timers[0],
                 {2, 0, BlockValue::reference(BlockValue::Kind::AddSub, 3), {'I', 2}, 1, {}});
         },
         timer,
         {0x81, 0x20, 0xA0, 0x01, 'I', 2, 3, 0x71, 0, 0, 0}},
        {"timer mode 7, second preset C04",
         [](PlcProgram& p) {
             WriteTimer(p.timers[0], {7,
                                      1,
                                      BlockValue::constantOf(1234),
                                      {},
                                      2,
                                      BlockValue::reference(BlockValue::Kind::Counter, 4)});
         },
         timer,
         {0x81, 0x71, 0x12, 0x34, 0x4C, 0x6F, 0, 0x72, 0xC4, 0, 0}},
        {"counter preset 123456, direction m0F",
         [](PlcProgram& p) {
             WriteCounter(p.counters[1], {3, BlockValue::constantOf(123456), {'m', 15}, {}});
         },
         [](const PlcProgram& p) {
             return std::vector<uint8_t>(p.counters[1].begin(), p.counters[1].end());
         },
         {0x82, 0x30, 0x12, 0x34, 0x56, 'm', 15, 0x4C, 0x6F, 0}},
        {"comparator T02 off form between limits",
         [](PlcProgram& p) {
             WriteComparator(
                 p.comparators[0],
                 {3, BlockValue::reference(BlockValue::Kind::Timer, 2, 1),
                  BlockValue::constantOf(500), BlockValue::reference(BlockValue::Kind::Analog, 1)});
         },
         [](const PlcProgram& p) {
             return std::vector<uint8_t>(p.comparators[0].begin(), p.comparators[0].begin() + 11);
         },
         {0, 0x30, 0xB2, 1, 0, 0, 0x05, 0x00, 0xD1, 0, 0}},
        {"drive block set from MD02, FWD/REV by I01",
         [](PlcProgram& p) {
             WriteDriveBlock(p.driveBlocks[0], {BlockValue::reference(BlockValue::Kind::MulDiv, 2),
                                                BlockValue::constantOf(600),
                                                BlockValue::constantOf(50),
                                                BlockValue::constantOf(70),
                                                {'I', 1},
                                                {}});
         },
         [](const PlcProgram& p) {
             return std::vector<uint8_t>(p.driveBlocks[0].begin(), p.driveBlocks[0].begin() + 17);
         },
         {0x81, 0xA0, 2, 2, 0, 0x06, 0x00, 0, 0, 0x50, 0, 0, 0x70, 'I', 1, 0x4C, 0x6F}},
        {"AS block with a timer and an output relay",
         [](PlcProgram& p) {
             WriteArith(p.addSubBlocks[0],
                        {{BlockValue::reference(BlockValue::Kind::Timer, 3, 1),
                          BlockValue::constantOf(199999), BlockValue::constantOf(7)},
                         5});
         },
         [](const PlcProgram& p) {
             return std::vector<uint8_t>(p.addSubBlocks[0].begin(), p.addSubBlocks[0].begin() + 12);
         },
         {0x81, 0x20, 3, 1, 0x19, 0x99, 0x99, 0, 0, 0x07, 1, 5}},
    };
    for (const auto& c : cases) {
        PlcProgram p;
        c.write(p);
        EXPECT_EQ(c.bytes(p), c.golden) << c.what;
        // Reading the record back and writing it again changes nothing.
        PlcProgram again = p;
        WriteTimer(again.timers[0], *ReadTimer(p.timers[0]));
        WriteCounter(again.counters[1], *ReadCounter(p.counters[1]));
        WriteComparator(again.comparators[0], *ReadComparator(p.comparators[0]));
        WriteDriveBlock(again.driveBlocks[0], *ReadDriveBlock(p.driveBlocks[0]));
        WriteArith(again.addSubBlocks[0], *ReadArith(p.addSubBlocks[0]));
        EXPECT_EQ(again, p) << c.what;
    }
}

TEST(ProgramText, ReadsBackToTheSameBytes) {
    PlcProgram p;
    ScriptedPrompts prompts;
    QueuedDialogs dialogs;
    LadderEditor e(p, prompts, dialogs);
    p.setContact(0, 0, 'I', 1);
    p.setContact(0, 1, 'M', 1);
    p.setCoil(0, kCoilOutput, 'Q', 1);
    p.setContact(1, 0, 'i', 2);
    p.setCoil(1, kCoilOutput, 'T', 1);
    p.setBlockCoil(2, "MD", 2);
    p.setCoil(3, kCoilReset, 'M', 15);
    p.cellText[4][5] = 0x01;  // a byte the listed form cannot show: the row goes raw
    e.toggleLink(1, 1);
    p.timers[0][14] = 0xEE;       // a byte no field names
    p.mulDivBlocks[1][2] = 0xFF;  // not a constant nor a reference: the block goes raw
    e.insertComment(1, {"", "second text only", "", ""});
    p.symbols = {{1, {{1, "Start button"}}}, {3, {}}};
    p.computeUsedBlocks();
    const std::string text = ProgramToText(p);
    EXPECT_NE(text.find("000  I01-M01v    -[Q01\n"), std::string::npos) << text;
    EXPECT_NE(text.find("T01 mode=1 base=1 preset=0000 reset=- base2=1 preset2=0000\n"),
              std::string::npos);
    PlcProgram back;
    std::string error;
    ASSERT_TRUE(ProgramFromText(text, back, error)) << error;
    back.timers[0][14] = 0xEE;  // the text keeps only the fields; other bytes stay the file's
    EXPECT_EQ(back, p);

    const std::pair<const char*, const char*> refused[] = {
        {"000  I01x", "line 1: gap character 'x'"},
        {"005  I01\n003  I02", "line 2: row number"},
        {"000  "
         "            "
         "Z[Q01",
         "line 1: coil \"Z[Q01\""},
        {"T09 mode=1", "line 1: block setting \"T09 mode=1\""},
        {"T01 mode=8", "line 1: block setting"},
        {"     //+ more", "line 1: not a row"},
    };
    for (const auto& [input, message] : refused) {
        PlcProgram untouched = p;
        EXPECT_FALSE(ProgramFromText(input, untouched, error)) << input;
        EXPECT_EQ(error.rfind(message, 0), 0u) << error;
        EXPECT_EQ(untouched, p);
    }
}

}  // namespace
}  // namespace pv
