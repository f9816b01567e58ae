#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "plc/PlcProgram.h"

namespace pv {
namespace {

std::vector<uint8_t> encode(const PlcProgram& p) {
    ByteWriter w;
    p.serialize(w);
    return w.bytes;
}

// A comment line keeps at most 51 characters; a stored length of 52 is still read (and clipped).
// Whole 51-character comments and longer stored lengths are pinned by the project file's tests.
TEST(PlcProgram, CommentsAreClippedToFiftyOneCharacters) {
    PlcProgram p;
    p.commentFlags[0] = 1;
    p.setCommentText(0, 1, std::string(60, 'y'));
    EXPECT_EQ(p.commentText(0, 1), std::string(51, 'y'));
    auto bytes = encode(PlcProgram());
    const size_t commentsAt = 3484 + 4;
    // Replace the first slot (length 0) by a 52-byte text.
    std::vector<uint8_t> slot = {52, 0, 0, 0};
    slot.insert(slot.end(), 52, 'z');
    bytes.erase(bytes.begin() + commentsAt, bytes.begin() + commentsAt + 4);
    bytes.insert(bytes.begin() + commentsAt, slot.begin(), slot.end());
    PlcProgram q;
    ByteReader in(bytes);
    ASSERT_TRUE(q.deserialize(in));
    EXPECT_TRUE(in.atEnd());
    EXPECT_EQ(q.commentText(0, 0), std::string(51, 'z'));
}

TEST(PlcProgram, HundredTwentyCommentLinesGiveTwoHundredDisplayLines) {
    PlcProgram p;
    // Comment lines at every display line that is not a multiple of 5 among the first 150,
    // the rest at the end.
    int comments = 0;
    for (int d = 0; d < kMaxDisplayLines && comments < 120; ++d) {
        const bool ladderSlot = (d < 150 && d % 5 == 0) || d >= 150 + 50;
        if (!ladderSlot) {
            p.commentFlags[d] = 1;
            ++comments;
        }
    }
    p.normalizeCommentFlags();
    EXPECT_EQ(p.commentCount, 120u);
    EXPECT_EQ(p.displayLineCount, 200u);
    for (int r = 0; r < kLadderRows; ++r) p.setContact(r, 0, 'I', r % 8 + 1);
    const auto bytes = encode(p);
    PlcProgram q;
    ByteReader in(bytes);
    ASSERT_TRUE(q.deserialize(in));
    EXPECT_EQ(q.displayLineCount, 200u);
    int expectedRow = 0;
    for (int d = 0; d < 200; ++d) {
        const int row = q.ladderRowOfDisplayLine(d);
        if (q.commentFlags[d] == 1) {
            EXPECT_EQ(row, -1);
        } else {
            EXPECT_EQ(row, expectedRow++) << d;
        }
    }
    EXPECT_EQ(expectedRow, 80);
}

TEST(PlcProgram, CommentFlagsAreMadeConsistent) {
    struct Case {
        const char* name;
        std::vector<std::pair<int, uint8_t>> flags;
        uint32_t comments;
    };
    const Case cases[] = {
        {"values other than 1 are not comment lines", {{0, 2}, {1, 0xFF}, {2, 1}}, 1},
        {"flags past the last display line are dropped", {{0, 1}, {199, 1}}, 1},
        {"comment lines after the last row count", {{80, 1}, {81, 1}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlcProgram p;
        for (auto [at, v] : c.flags) p.commentFlags[at] = v;
        p.normalizeCommentFlags();
        EXPECT_EQ(p.commentCount, c.comments);
        EXPECT_EQ(p.displayLineCount, 80 + c.comments);
        int ladder = 0;
        for (uint32_t d = 0; d < p.displayLineCount; ++d)
            if (p.commentFlags[d] != 1) ++ladder;
        EXPECT_EQ(ladder, 80);
    }
    PlcProgram all;
    all.commentFlags.fill(1);
    all.normalizeCommentFlags();
    EXPECT_EQ(all.commentCount, 120u);
    EXPECT_EQ(all.displayLineCount, 200u);
}

TEST(PlcProgram, UsedBlocksFollowTheCoils) {
    struct Case {
        const char* name;
        const char* coil;   // columns 12..15
        std::string which;  // "T3", "AS3", or "" for none
    };
    const Case cases[] = {
        {"AS03 marks AS 3", "AS03", "AS3"},
        {"MD04 marks MD 4", "MD04", "MD4"},
        {"Q02 marks nothing", "\x07Q02", ""},
        {"M0F marks nothing", "\x07M0F", ""},
        {"T08 marks T 8", "\xE2T08", "T8"},
        {"C01 marks C 1", "\007C01", "C1"},
        {"G05 marks G 5", "PG05", "G5"},
        {"F02 marks F 2", "\343F02", "F2"},
        {"T0a is ten, beyond the table", "\x07T0a", ""},
        {"T09 is beyond the table", "\x07T09", ""},
        {"T00 is no block", "\x07T00", ""},
        {"bad digits", "\x07T0Z", ""},
        {"AS05 is beyond the table", "AS05", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlcProgram p;
        for (int i = 0; i < 4; ++i) p.cellText[17][12 + i] = static_cast<uint8_t>(c.coil[i]);
        p.computeUsedBlocks();
        UsedBlocks expected;
        if (!c.which.empty()) {
            const int n = c.which.back() - '0';
            const std::string kind = c.which.substr(0, c.which.size() - 1);
            if (kind == "AS") expected.addSub[n - 1] = true;
            if (kind == "MD") expected.mulDiv[n - 1] = true;
            if (kind == "T") expected.timers[n - 1] = true;
            if (kind == "C") expected.counters[n - 1] = true;
            if (kind == "G") expected.comparators[n - 1] = true;
            if (kind == "F") expected.driveBlocks[n - 1] = true;
        }
        EXPECT_EQ(p.used, expected);
    }
    // Rows beyond 79 never count.
    PlcProgram p;
    p.setCoil(90, kCoilOutput, 'T', 1);
    p.computeUsedBlocks();
    EXPECT_EQ(p.used, UsedBlocks{});
}

TEST(PlcProgram, DoubleCoilCheckNamesTheFirstCoilThatMayStandOnlyOnce) {
    struct Coil {
        int row;
        const char* text;  // columns 12..15
    };
    struct Case {
        const char* name;
        std::vector<Coil> coils;
        std::optional<std::string> reused;
    };
    const Case cases[] = {
        {"a new program", {}, std::nullopt},
        {"two T03 coils", {{2, "\x07T03"}, {40, "\x07T03"}}, " T03"},
        {"the coil kind is not part of the name", {{0, "\xE2T03"}, {79, "PT03"}}, " T03"},
        {"Set, Reset and plain coils on Q01",
         {{1, "\xE2Q01"}, {2, "\xE3Q01"}, {3, "\x07Q01"}},
         std::nullopt},
        {"M coils repeat freely", {{1, "\x07M0F"}, {9, "\x07M0F"}}, std::nullopt},
        {"G stands once", {{1, "\x07G02"}, {4, "\x07G02"}}, " G02"},
        {"F stands once", {{1, "\007F08"}, {4, "\342F08"}}, " F08"},
        {"C stands once", {{0, "PC01"}, {1, "PC01"}}, " C01"},
        {"AS coils", {{5, "AS03"}, {6, "AS03"}}, "AS03"},
        {"MD coils", {{5, "MD01"}, {60, "MD01"}}, "MD01"},
        {"AS03 and MD03 differ", {{5, "AS03"}, {6, "MD03"}}, std::nullopt},
        {"T03 and T04 differ", {{5, "\x07T03"}, {6, "\x07T04"}}, std::nullopt},
        {"the first repeat in row order is named",
         {{0, "\x07T01"}, {1, "\007C02"}, {3, "\007C02"}, {5, "\x07T01"}}, " C02"},
        {"rows beyond 79 are not the program", {{3, "\x07T03"}, {80, "\x07T03"}}, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PlcProgram p;
        for (const auto& coil : c.coils)
            for (int i = 0; i < 4; ++i)
                p.cellText[coil.row][12 + i] = static_cast<uint8_t>(coil.text[i]);
        EXPECT_EQ(p.CheckDoubleCoils(), c.reused);
    }
    // Two rows whose coil columns hold NULs are two rows without a coil.
    PlcProgram p;
    for (int r : {7, 8})
        for (int i = 12; i < 16; ++i) p.cellText[r][i] = 0;
    EXPECT_EQ(p.CheckDoubleCoils(), std::nullopt);
}

TEST(PlcProgram, CellHelpersKeepTheGapRules) {
    PlcProgram p;
    EXPECT_EQ(p.ladderRowsUsed(), 0);
    p.setContact(0, 0, 'I', 1);
    EXPECT_EQ(p.cellTextAt(0, 0), "I01");
    EXPECT_EQ(p.cellText[0][3], '-');
    p.cellText[0][7] = kGapLinkDown;
    p.setContact(0, 1, 'm', 0x0F);
    EXPECT_EQ(p.cellTextAt(0, 1), "m0F");
    EXPECT_EQ(p.cellText[0][7], kGapLinkDown);  // a link mark is not overwritten
    p.clearCell(0, 1);
    EXPECT_EQ(p.cellTextAt(0, 1), "   ");
    EXPECT_EQ(p.cellText[0][7], kGapLinkDown);
    p.setDifferential(1, 2, false);
    EXPECT_EQ(p.cellTextAt(1, 2), "D00");
    p.clearCell(1, 2);
    EXPECT_EQ(p.cellText[1][11], '-');  // only a NUL gap becomes a blank
    p.clearCell(2, 0);
    EXPECT_EQ(p.cellText[2][3], ' ');
    p.setCoil(0, kCoilOutput, 'Q', 2);
    EXPECT_EQ(p.coilTextAt(0), "\x07Q02");
    EXPECT_EQ(p.rowListing(0), "I01-   |    -[Q02");
    p.setBlockCoil(1, "AS", 3);
    EXPECT_EQ(p.coilTextAt(1), "AS03");
    EXPECT_EQ(p.ladderRowsUsed(), 2);
    p.clearCoil(1);
    p.clearCell(0, 0);
    p.clearCoil(0);
    EXPECT_EQ(p.ladderRowsUsed(), 2);  // rows 0 and 1 keep their wire and link gaps
    // Out-of-range positions are ignored, never written.
    p.setContact(-1, 0, 'I', 1);
    p.setContact(0, 3, 'I', 1);
    p.setCoil(kGridRows, kCoilOutput, 'Q', 1);
    EXPECT_EQ(p.cellTextAt(kGridRows, 0), "   ");
    EXPECT_EQ(ElementName("AS", 3), "AS03");
    EXPECT_EQ(ElementName("M", 15), "M0F");
}

TEST(PlcProgram, SymbolTextsAreNulPaddedToTheirWidth) {
    PlcProgram p;
    p.symbols = {{3, {{5, std::string(2500, 'q')}}}};
    const auto bytes = encode(p);
    EXPECT_EQ(bytes.size(), 3484u + 4 + 8 + 2004 + 3200);
    EXPECT_EQ(bytes[3484 + 4 + 8 + 4 + 1998], 'q');
    EXPECT_EQ(bytes[3484 + 4 + 8 + 4 + 1999], 0);
    PlcProgram q;
    ByteReader in(bytes);
    ASSERT_TRUE(q.deserialize(in));
    EXPECT_EQ(q.symbols[0].entries[0].text, std::string(1999, 'q'));
    EXPECT_EQ(q.symbols[0].type, 3);
    EXPECT_EQ(q.symbols[0].entries[0].key, 5);
    EXPECT_EQ(q.symbolCount(), 1);
}

}  // namespace
}  // namespace pv
