#pragma once
// The ladder program of a project: 80 ladder rows of 16 characters, the vertical-link marks, the
// comment lines between the rows, the drive's fixed function-block tables and the user's symbol
// table. Every size is the drive's own, so the whole program is a fixed-size value apart from the
// symbol table.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "plc/ByteStream.h"

namespace pv {

inline constexpr int kLadderRows = 80;        // rows of the program
inline constexpr int kGridRows = 125;         // rows of the cell grids (80..124 are never stored)
inline constexpr int kRowWidth = 16;          // characters of one ladder row
inline constexpr int kMaxDisplayLines = 200;  // ladder rows plus comment lines
inline constexpr int kMaxCommentLines = kMaxDisplayLines - kLadderRows;
inline constexpr int kCommentTextLines = 4;  // text lines of one comment line
inline constexpr int kCommentSlotSize = 52;  // one text line, NUL-terminated
inline constexpr int kCommentMaxChars = 51;
inline constexpr int kRowsPerProgramLine = 4;  // the drive stores the program in units of 4 rows
inline constexpr int kContactCells = 3;

inline constexpr int kTimerCount = 8, kCounterCount = 8, kComparatorCount = 8, kDriveBlockCount = 8,
                     kAddSubCount = 4, kMulDivCount = 4;
inline constexpr int kTimerRecordSize = 20, kCounterRecordSize = 10, kComparatorRecordSize = 20,
                     kDriveBlockRecordSize = 20, kAddSubRecordSize = 20, kMulDivRecordSize = 20;

// Symbol-table entry text width in the file (NUL-padded).
inline constexpr int kSymbolTextSize = 2000;

// Special characters of the cell grid.
inline constexpr uint8_t kGapNone = 0;         // NUL or ' ': nothing in the gap
inline constexpr uint8_t kGapWire = '-';       // the wire continues through the gap
inline constexpr uint8_t kGapLinkDown = 3;     // a vertical link leaves downwards
inline constexpr uint8_t kGapLinkUp = 13;      // a vertical link arrives from above
inline constexpr uint8_t kGapLinkThrough = 5;  // arrives from above and continues down
inline constexpr uint8_t kCoilOutput = 7;      // plain output coil "-["
inline constexpr uint8_t kCoilSet = 226;       // "Set"
inline constexpr uint8_t kCoilReset = 227;     // "Reset"
inline constexpr uint8_t kCoilPulse = 'P';     // pulse output
inline constexpr uint8_t kLinkMark = 3;        // value of a link mark in linkMarks
// The input pair of a block record that means "no input connected".
inline constexpr uint8_t kNoInputLetter = 0x4C, kNoInputNumber = 0x6F;

// Column of gap g (0..2) and of contact cell c (0..2) in a row.
inline constexpr int gapColumn(int g) {
    return 3 + 4 * g;
}
inline constexpr int cellColumn(int c) {
    return 4 * c;
}
inline constexpr int kCoilKindColumn = 12, kCoilLetterColumn = 13, kCoilNumberColumn = 14;

// Element kinds of the symbol table ("Elem Type:").
enum class ElemType : int32_t { I = 1, Q = 2, M = 3, T = 4, C = 5, G = 6, F = 7, AS = 8, MD = 9 };

// One group of the symbol table: the element kind and the (key, text) entries of that kind.
// The key is the element number within the kind (1 for I01, 15 for M0F).
struct CElemNote {
    struct Entry {
        int32_t key = 0;
        std::string text;  // at most kSymbolTextSize - 1 characters
        bool operator==(const Entry&) const = default;
    };
    int32_t type = 0;
    std::vector<Entry> entries;
    bool operator==(const CElemNote&) const = default;
};

using Row = std::array<uint8_t, kRowWidth>;
using CommentSlot = std::array<char, kCommentSlotSize>;
using CommentLine = std::array<CommentSlot, kCommentTextLines>;
using TimerRecord = std::array<uint8_t, kTimerRecordSize>;
using CounterRecord = std::array<uint8_t, kCounterRecordSize>;
using BlockRecord = std::array<uint8_t, 20>;

// Flags of the function blocks that stand as a coil somewhere in rows 0..79.
struct UsedBlocks {
    std::array<bool, kTimerCount> timers{};
    std::array<bool, kCounterCount> counters{};
    std::array<bool, kComparatorCount> comparators{};
    std::array<bool, kDriveBlockCount> driveBlocks{};
    std::array<bool, kAddSubCount> addSub{};
    std::array<bool, kMulDivCount> mulDiv{};
    bool operator==(const UsedBlocks&) const = default;
};

class PlcProgram {
public:
    PlcProgram() { reset(); }

    // Display lines.
    uint32_t commentCount = 0;
    std::array<uint8_t, kMaxDisplayLines> commentFlags{};
    std::array<CommentLine, kMaxDisplayLines> comments{};
    uint32_t displayLineCount = kLadderRows;  // not stored; 80 + comment lines

    // Cell grids; rows 0..79 are the program.
    std::array<Row, kGridRows> cellText{};
    std::array<Row, kGridRows> linkMarks{};

    // Function-block tables.
    std::array<TimerRecord, kTimerCount> timers{};
    std::array<CounterRecord, kCounterCount> counters{};
    std::array<BlockRecord, kComparatorCount> comparators{};
    std::array<BlockRecord, kDriveBlockCount> driveBlocks{};
    std::array<BlockRecord, kAddSubCount> addSubBlocks{};
    std::array<BlockRecord, kMulDivCount> mulDivBlocks{};

    std::vector<CElemNote> symbols;

    UsedBlocks used;  // derived: computeUsedBlocks()

    // A new program: blank rows (gap columns NUL), no links, no comments, default blocks.
    void reset();
    // Recomputes `used` from the coil columns of rows 0..79.
    void computeUsedBlocks();
    // The coil name of the first row (0..79) whose coil repeats one of an earlier row, for the
    // kinds that may stand as a coil only once (T, C, G, F, AS, MD); nullopt when there is none.
    // The name is columns 12..15 for the AS and MD coils, else a blank and columns 13..15
    // (" T03"). Q and M coils may be used any number of times.
    std::optional<std::string> CheckDoubleCoils() const;
    // Empties the comment flags and texts and sets the comment count to 0. The document marks
    // itself modified around this call.
    void clearComments();
    // 80 plus the number of comment flags equal to 1.
    void recomputeDisplayLineCount();

    // The PLC section of the project file.
    void serialize(ByteWriter& out) const;
    // Reads the PLC section into this program. On failure (data ends early, a length field
    // beyond its width or the data) returns false; this program is then left partly read and the
    // caller must discard it.
    bool deserialize(ByteReader& in);
    // Makes the comment flags consistent with 80 ladder rows and at most 120 comment lines
    // (flags other than 1 become 0, flags past the last display line are cleared) and recomputes
    // commentCount and displayLineCount. A file written by this program is left unchanged.
    void normalizeCommentFlags();

    // The default record of each block table (n = 1-based block number).
    static TimerRecord defaultTimer(int n);
    static CounterRecord defaultCounter(int n);
    static BlockRecord defaultComparator(int n);
    static BlockRecord defaultDriveBlock(int n);
    static BlockRecord defaultAddSub(int n);
    static BlockRecord defaultMulDiv(int n);

    // --- cell text helpers -------------------------------------------------------------------
    // The three characters of contact cell c (0..2) of a row; NULs shown as blanks.
    std::string cellTextAt(int row, int cell) const;
    // The coil part (columns 12..15) as stored, NULs shown as blanks.
    std::string coilTextAt(int row) const;
    bool isRowBlank(int row) const;  // no contact, wire, gap mark or coil
    // Fills contact cell c with letter + two upper-case hex digits; a NUL gap to its right
    // becomes '-'.
    void setContact(int row, int cell, char letter, int number);
    void setWire(int row, int cell);                         // "---"
    void setDifferential(int row, int cell, bool inverted);  // "D00" / "d00"
    // Empties a contact cell; a NUL gap to its right becomes a blank.
    void clearCell(int row, int cell);
    // Coil: kind (kCoilOutput, kCoilSet, kCoilReset, kCoilPulse), letter, number.
    void setCoil(int row, uint8_t kind, char letter, int number);
    // Function-block coil: "AS" or "MD" at columns 12..13.
    void setBlockCoil(int row, std::string_view pair, int number);
    void clearCoil(int row);

    // Number of ladder rows (0..79) that are not blank.
    int ladderRowsUsed() const;
    int symbolCount() const;
    // Index of the ladder row shown at display line d, or -1 for a comment line / out of range.
    int ladderRowOfDisplayLine(int displayLine) const;
    // Comment text line t (0..3) of display line d; setCommentText clips to 51 characters.
    std::string commentText(int displayLine, int textLine) const;
    void setCommentText(int displayLine, int textLine, std::string_view text);

    // Printable form of a ladder row for listings: contacts, gaps ('-' wire, '|' link marks,
    // ' ' nothing) and the coil ("-[Q01", "S Q01", "R Q01", "P Q01", "AS01").
    std::string rowListing(int row) const;

    bool operator==(const PlcProgram&) const = default;
};

// Element name formats: "I%.2X" etc.; kind letters of contacts in element order.
inline constexpr std::string_view kElementLetters = "IQMTCGFiqmtcgf";
std::string ElementName(std::string_view kind, int number);  // "I01", "AS03", "MD04", "V01"
// The element number a cell stores as two hexadecimal digits (either case), -1 when they are
// not; and the two upper-case digits written for a number.
int ElementNumberAt(const uint8_t* digits);
void PutElementNumber(uint8_t* out, int number);

}  // namespace pv
