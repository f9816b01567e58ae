#include "plc/PlcWire.h"

#include <gtest/gtest.h>

#include <vector>

using namespace pv;
using namespace pv::plc;

namespace {

// Every line of `p` through the drive's form and back into a fresh program.
PlcProgram throughWire(const PlcProgram& p) {
    PlcProgram back;
    ClearGrids(back);
    for (int line = 1; line <= kProgramLines; ++line) DecodeLine(back, line, EncodeLine(p, line));
    return back;
}

std::vector<std::string> listing(const PlcProgram& p) {
    std::vector<std::string> rows;
    for (int r = 0; r < kLadderRows; ++r) rows.push_back(p.rowListing(r));
    return rows;
}

// A vertical link in gap g between rows r and r + 1, as the editor leaves it.
void link(PlcProgram& p, int r, int g) {
    auto& upper = p.cellText[r][gapColumn(g)];
    upper = upper == kGapLinkUp ? kGapLinkThrough : kGapLinkDown;
    p.cellText[r + 1][gapColumn(g)] = kGapLinkUp;
    p.linkMarks[r + 1][2 + 4 * g] = kLinkMark;
}

}  // namespace

TEST(PlcWire, FirstLineOfASimpleRungHasTheDrivesBytes) {
    PlcProgram p;
    p.setContact(0, 0, 'I', 1);
    p.setContact(0, 1, 'm', 15);
    p.setWire(0, 2);
    p.setCoil(0, kCoilOutput, 'Q', 1);
    p.setDifferential(1, 0, true);
    p.setCoil(1, kCoilSet, 'M', 2);
    link(p, 0, 0);
    const LineBytes expected = {0x10, 0x09, 0, 0, 0xCE, 0, 0, 0, 0x01, 0, 0, 0,
                                0x08, 0x51, 0, 0, 0x10, 0, 0, 0};
    EXPECT_EQ(EncodeLine(p, 1), expected);
}

TEST(PlcWire, EveryCoilKindSurvivesTheWire) {
    struct Case {
        std::uint8_t kind;
        char letter;
        int number;
        std::uint8_t code;
    };
    const Case cases[] = {
        {kCoilOutput, 'Q', 1, 0x08}, {kCoilOutput, 'Q', 3, 0x0A}, {kCoilSet, 'Q', 2, 0x49},
        {kCoilReset, 'Q', 1, 0x88},  {kCoilPulse, 'Q', 3, 0xCA},  {kCoilOutput, 'M', 15, 0x1E},
        {kCoilSet, 'M', 1, 0x50},    {kCoilReset, 'M', 2, 0x91},  {kCoilPulse, 'M', 4, 0xD3},
        {kCoilOutput, 'T', 8, 0x27}, {kCoilOutput, 'F', 1, 0x30}, {kCoilOutput, 'C', 2, 0x61},
        {kCoilOutput, 'G', 5, 0xA4}, {'A', 'S', 3, 0x72},         {'M', 'D', 4, 0xB3},
    };
    for (const Case& c : cases) {
        PlcProgram p;
        p.setCoil(5, c.kind, c.letter, c.number);
        EXPECT_EQ(EncodeLine(p, 2)[12 + 1], c.code) << c.letter << c.number;
        EXPECT_EQ(throughWire(p).coilTextAt(5), p.coilTextAt(5)) << c.letter << c.number;
    }
}

TEST(PlcWire, ProgramWithLinksAndEveryContactComesBackTheSame) {
    PlcProgram p;
    const std::string_view letters = "ITCMFGQitcmfgq";
    for (int i = 0; i < static_cast<int>(letters.size()); ++i)
        p.setContact(i, i % 3, letters[i], i % 8 + 1);
    p.setDifferential(20, 1, false);
    p.setWire(21, 2);
    p.setCoil(21, kCoilOutput, 'T', 3);
    // Links inside a line, a chain of three rows, and one from line 5 into line 6.
    link(p, 0, 0);
    link(p, 1, 0);
    link(p, 2, 0);
    link(p, 19, 1);
    link(p, 40, 2);
    const PlcProgram back = throughWire(p);
    EXPECT_EQ(listing(back), listing(p));
    for (int line = 1; line <= kProgramLines; ++line)
        EXPECT_EQ(EncodeLine(back, line), EncodeLine(p, line)) << "line " << line;
    EXPECT_EQ(EncodeLine(p, 5)[17], 0x80);  // row 19 to row 20 in the second gap
    EXPECT_EQ(back.cellText[19][gapColumn(1)], kGapLinkDown);
    EXPECT_EQ(back.cellText[20][gapColumn(1)], kGapLinkUp);
    EXPECT_EQ(back.cellText[1][gapColumn(0)], kGapLinkThrough);
    for (int r = 0; r < kLadderRows + 1; ++r) EXPECT_EQ(back.linkMarks[r], p.linkMarks[r]) << r;
}

TEST(PlcWire, BlankLinesAreNotSent) {
    PlcProgram p;
    EXPECT_TRUE(LineIsBlank(p, 7));
    p.setWire(27, 0);
    EXPECT_FALSE(LineIsBlank(p, 7));
    EXPECT_TRUE(LineIsBlank(p, 8));
}

TEST(PlcWire, BlockRecordsRoundTripWithTheirWireLength) {
    struct Case {
        const char* name;
        BlockKind kind;
        std::vector<std::uint8_t> record;  // bytes from 1 on
        std::vector<std::uint8_t> wire;
        bool secondReference;
    };
    const Case cases[] = {
        // Mode 2 timer, base 1, 12.34 driven by m03; its reset input travels as m03's code.
        {"timer mode 2", BlockKind::Timer, {0x21, 0x12, 0x34, 'm', 3, 0, 0x71, 0, 0, 0},
         {0x12, 0xC2, 0x04, 0xD2}, false},
        // Mode 7 with a second preset that is counter C2: three registers and its mask bit.
        {"timer mode 7", BlockKind::Timer, {0x72, 0x00, 0x50, 0x4C, 0x6F, 0, 0x73, 0xC2, 0, 0},
         {0xE7, 0x00, 0x00, 0x32, 0x00, 0x21}, true},
        {"timer preset is MD2", BlockKind::Timer, {0x31, 0xA0, 0x02, 'I', 4, 2, 0x71, 0, 0, 0},
         {0x1B, 0x13, 0x00, 0x51}, false},
        {"counter", BlockKind::Counter, {0x20, 0x01, 0x23, 0x45, 'I', 2, 0x4C, 0x6F},
         {0, 0x02, 0x11, 0x00, 0x30, 0x39}, false},
        {"comparator mode 3", BlockKind::Comparator,
         {0x30, 0xD2, 0, 0, 0x00, 0x10, 0x00, 0xC1, 0, 0}, {0x0B, 0x31, 0x03, 0xE8, 0x00, 0x20},
         false},
        {"drive block", BlockKind::DriveBlock,
         {0xA0, 0x01, 0x02, 0x00, 0x30, 0x00, 0x00, 0x00, 0x50, 0x00, 0x01, 0x00, 'I', 1, 'M', 2},
         {0, 0x02, 0x41, 0x10, 0x00, 0x32, 0x00, 0x64, 0x00, 0x41, 0x0B, 0xB8}, false},
        {"AS with relay", BlockKind::AddSub,
         {0x00, 0x10, 0x00, 0x40, 0x03, 0x00, 0x20, 0x05, 0x01, 1, 4},
         {0x13, 0x06, 0x03, 0xE8, 0x00, 0x32, 0x00, 0x14}, false},
    };
    for (const Case& c : cases) {
        PlcProgram p;
        auto rec = RecordOf(p, c.kind, 1);
        std::copy(c.record.begin(), c.record.end(), rec.begin() + 1);
        const WireBlock w = EncodeBlock(p, c.kind, 1);
        EXPECT_EQ(w.bytes, c.wire) << c.name;
        EXPECT_EQ(w.secondPresetReference, c.secondReference) << c.name;

        PlcProgram back;
        DecodeBlock(back, c.kind, 1, w.bytes, w.secondPresetReference);
        const auto got = RecordOf(back, c.kind, 1);
        EXPECT_TRUE(std::equal(c.record.begin(), c.record.end(), got.begin() + 1)) << c.name;
    }
}

TEST(PlcWire, OnlyTheWritesOwnPatternsCountAsUnchanged) {
    PlcProgram p;
    EXPECT_TRUE(BlockUnchanged(p, BlockKind::Timer, 0));
    EXPECT_TRUE(BlockUnchanged(p, BlockKind::Counter, 7));
    EXPECT_TRUE(BlockUnchanged(p, BlockKind::AddSub, 3));
    EXPECT_TRUE(BlockUnchanged(p, BlockKind::MulDiv, 0));
    // A new project's comparators and drive-control blocks differ from the write's patterns.
    EXPECT_FALSE(BlockUnchanged(p, BlockKind::Comparator, 0));
    EXPECT_FALSE(BlockUnchanged(p, BlockKind::DriveBlock, 0));
    p.timers[2][2] = 0x01;
    EXPECT_FALSE(BlockUnchanged(p, BlockKind::Timer, 2));
}
