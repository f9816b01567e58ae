#include "plc/PlcProgram.h"

#include <cstdio>

namespace pv {

namespace {

bool isBlankByte(uint8_t c) {
    return c == ' ' || c == '\0';
}

int hexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

template <typename Table>
void writeTable(ByteWriter& out, const Table& t) {
    for (const auto& rec : t) out.raw(rec.data(), rec.size());
}

template <typename Table>
bool readTable(ByteReader& in, Table& t) {
    for (auto& rec : t)
        if (!in.raw(rec.data(), rec.size())) return false;
    return true;
}

bool validRow(int row) {
    return row >= 0 && row < kGridRows;
}
bool validCell(int cell) {
    return cell >= 0 && cell < kContactCells;
}

// The three text bytes of contact cell `cell` in a row's text; the gap before it, never written
// yet, becomes `newGap` (a wire beside a contact, blank beside a cleared cell).
uint8_t* cellBytes(Row& text, int cell, uint8_t newGap) {
    uint8_t& gap = text[gapColumn(cell)];
    if (gap == '\0') gap = newGap;
    return text.data() + cellColumn(cell);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Defaults

TimerRecord PlcProgram::defaultTimer(int n) {
    TimerRecord r{};
    r[0] = static_cast<uint8_t>(n | 0x80);
    r[1] = 0x11;  // mode 1, time base 1
    r[4] = kNoInputLetter;
    r[5] = kNoInputNumber;
    r[7] = 0x71;
    return r;
}

CounterRecord PlcProgram::defaultCounter(int n) {
    CounterRecord r{};
    r[0] = static_cast<uint8_t>(n | 0x80);
    r[1] = 0x10;  // mode 1
    r[5] = kNoInputLetter;
    r[6] = kNoInputNumber;
    r[7] = kNoInputLetter;
    r[8] = kNoInputNumber;
    return r;
}

BlockRecord PlcProgram::defaultComparator(int) {
    BlockRecord r{};
    r[1] = 0x10;  // mode 1
    r[2] = 0xB1;  // compared value: timer T1
    r[7] = 1;
    return r;
}

BlockRecord PlcProgram::defaultDriveBlock(int n) {
    BlockRecord r{};
    r[0] = static_cast<uint8_t>(n | 0x80);
    r[9] = 0x50;
    r[12] = 0x50;
    r[13] = kNoInputLetter;
    r[14] = kNoInputNumber;
    r[15] = kNoInputLetter;
    r[16] = kNoInputNumber;
    return r;
}

BlockRecord PlcProgram::defaultAddSub(int n) {
    BlockRecord r{};
    r[0] = static_cast<uint8_t>(n | 0x80);
    return r;
}

BlockRecord PlcProgram::defaultMulDiv(int n) {
    BlockRecord r{};
    r[0] = static_cast<uint8_t>(n | 0x80);
    r[3] = 1;  // Value1 = 000001
    r[6] = 1;  // Value2 = 000001
    r[9] = 1;  // Value3 = 000001 (never a zero divisor)
    return r;
}

void PlcProgram::reset() {
    for (int r = 0; r < kGridRows; ++r) {
        cellText[r].fill(' ');
        if (r < kLadderRows)
            for (int g = 0; g < kContactCells; ++g) cellText[r][gapColumn(g)] = kGapNone;
        linkMarks[r].fill(0);
    }
    commentFlags.fill(0);
    for (auto& line : comments)
        for (auto& slot : line) slot.fill('\0');
    commentCount = 0;
    displayLineCount = kLadderRows;
    for (int i = 0; i < kTimerCount; ++i) timers[i] = defaultTimer(i + 1);
    for (int i = 0; i < kCounterCount; ++i) counters[i] = defaultCounter(i + 1);
    for (int i = 0; i < kComparatorCount; ++i) comparators[i] = defaultComparator(i + 1);
    for (int i = 0; i < kDriveBlockCount; ++i) driveBlocks[i] = defaultDriveBlock(i + 1);
    for (int i = 0; i < kAddSubCount; ++i) addSubBlocks[i] = defaultAddSub(i + 1);
    for (int i = 0; i < kMulDivCount; ++i) mulDivBlocks[i] = defaultMulDiv(i + 1);
    symbols.clear();
    used = UsedBlocks{};
}

// ---------------------------------------------------------------------------------------------

void PlcProgram::computeUsedBlocks() {
    used = UsedBlocks{};
    for (int r = 0; r < kLadderRows; ++r) {
        const Row& row = cellText[r];
        if (row[kCoilLetterColumn] == ' ') continue;
        const int hi = hexValue(row[kCoilNumberColumn]);
        const int lo = hexValue(row[kCoilNumberColumn + 1]);
        if (hi < 0 || lo < 0) continue;
        const int n = hi * 16 + lo;
        auto mark = [n](auto& flags) {
            if (n >= 1 && n <= static_cast<int>(flags.size())) flags[n - 1] = true;
        };
        if (row[kCoilKindColumn] == 'A' && row[kCoilLetterColumn] == 'S')
            mark(used.addSub);
        else if (row[kCoilKindColumn] == 'M' && row[kCoilLetterColumn] == 'D')
            mark(used.mulDiv);
        else if (row[kCoilLetterColumn] == 'T')
            mark(used.timers);
        else if (row[kCoilLetterColumn] == 'C')
            mark(used.counters);
        else if (row[kCoilLetterColumn] == 'G')
            mark(used.comparators);
        else if (row[kCoilLetterColumn] == 'F')
            mark(used.driveBlocks);
    }
}

std::optional<std::string> PlcProgram::CheckDoubleCoils() const {
    std::vector<std::string> seen;
    for (int r = 0; r < kLadderRows; ++r) {
        const Row& row = cellText[r];
        std::string name;
        if (row[kCoilKindColumn] == 'A' || row[kCoilKindColumn] == 'M')
            name.assign(row.begin() + kCoilKindColumn, row.begin() + kCoilNumberColumn + 2);
        else
            name = ' ' + std::string(row.begin() + kCoilLetterColumn,
                                     row.begin() + kCoilNumberColumn + 2);
        // A row without a coil has blanks (space or NUL) there, and Q and M coils may repeat.
        const char second = name[1];
        const bool mayRepeat =
            isBlankByte(static_cast<uint8_t>(second)) || second == 'Q' || second == 'M';
        if (!mayRepeat)
            for (const auto& earlier : seen)
                if (earlier == name) return name;
        seen.push_back(std::move(name));
    }
    return std::nullopt;
}

void PlcProgram::clearComments() {
    commentFlags.fill(0);
    for (auto& line : comments)
        for (auto& slot : line) slot.fill('\0');
    commentCount = 0;
    displayLineCount = kLadderRows;
}

void PlcProgram::recomputeDisplayLineCount() {
    uint32_t n = 0;
    for (uint8_t f : commentFlags)
        if (f == 1) ++n;
    displayLineCount = kLadderRows + n;
}

void PlcProgram::normalizeCommentFlags() {
    int ladder = 0, comment = 0;
    bool ended = false;
    for (int i = 0; i < kMaxDisplayLines; ++i) {
        uint8_t& f = commentFlags[i];
        if (ended) {
            f = 0;
            continue;
        }
        if (f == 1 && comment < kMaxCommentLines) {
            ++comment;
        } else if (ladder < kLadderRows) {
            f = 0;
            ++ladder;
        } else {
            // All 80 rows are placed and this line is not a comment: the display ends here.
            f = 0;
            ended = true;
        }
    }
    commentCount = static_cast<uint32_t>(comment);
    displayLineCount = static_cast<uint32_t>(kLadderRows + comment);
}

// ---------------------------------------------------------------------------------------------
// The PLC section of the project file

void PlcProgram::serialize(ByteWriter& out) const {
    out.u32(commentCount);
    for (int r = 0; r < kLadderRows; ++r) out.raw(cellText[r].data(), kRowWidth);
    for (int r = 0; r < kLadderRows; ++r) out.raw(linkMarks[r].data(), kRowWidth);
    out.raw(commentFlags.data(), commentFlags.size());
    writeTable(out, counters);
    writeTable(out, timers);
    writeTable(out, comparators);
    writeTable(out, driveBlocks);
    writeTable(out, addSubBlocks);
    writeTable(out, mulDivBlocks);

    out.u32(static_cast<uint32_t>(symbols.size()));
    for (const auto& group : symbols) {
        out.u32(static_cast<uint32_t>(group.entries.size()));
        out.i32(group.type);
        for (const auto& e : group.entries) {
            out.i32(e.key);
            uint8_t text[kSymbolTextSize] = {};
            const size_t n =
                e.text.size() < kSymbolTextSize - 1 ? e.text.size() : kSymbolTextSize - 1;
            for (size_t i = 0; i < n; ++i) text[i] = static_cast<uint8_t>(e.text[i]);
            out.raw(text, kSymbolTextSize);
        }
    }

    for (const auto& line : comments) {
        for (const auto& slot : line) {
            size_t n = 0;
            while (n < kCommentMaxChars && slot[n] != '\0') ++n;
            out.u32(static_cast<uint32_t>(n));
            out.raw(slot.data(), n);
        }
    }
}

bool PlcProgram::deserialize(ByteReader& in) {
    uint32_t storedCount = 0;
    if (!in.u32(storedCount)) return false;
    for (int r = 0; r < kLadderRows; ++r)
        if (!in.raw(cellText[r].data(), kRowWidth)) return false;
    for (int r = 0; r < kLadderRows; ++r)
        if (!in.raw(linkMarks[r].data(), kRowWidth)) return false;
    if (!in.raw(commentFlags.data(), commentFlags.size())) return false;
    if (!readTable(in, counters) || !readTable(in, timers) || !readTable(in, comparators) ||
        !readTable(in, driveBlocks) || !readTable(in, addSubBlocks) || !readTable(in, mulDivBlocks))
        return false;

    constexpr size_t kGroupHeader = 8, kEntrySize = 4 + kSymbolTextSize;
    uint32_t groupCount = 0;
    if (!in.u32(groupCount)) return false;
    // Every group needs at least its header: a count beyond that is a damaged length.
    if (groupCount > in.remaining() / kGroupHeader) return false;
    symbols.clear();
    symbols.reserve(groupCount);
    for (uint32_t g = 0; g < groupCount; ++g) {
        CElemNote group;
        uint32_t entryCount = 0;
        if (!in.u32(entryCount) || !in.i32(group.type)) return false;
        if (entryCount > in.remaining() / kEntrySize) return false;
        group.entries.reserve(entryCount);
        for (uint32_t e = 0; e < entryCount; ++e) {
            CElemNote::Entry entry;
            char text[kSymbolTextSize];
            if (!in.i32(entry.key) || !in.raw(text, kSymbolTextSize)) return false;
            size_t n = 0;
            while (n < kSymbolTextSize - 1 && text[n] != '\0') ++n;
            entry.text.assign(text, n);
            group.entries.push_back(std::move(entry));
        }
        symbols.push_back(std::move(group));
    }

    for (auto& line : comments) {
        for (auto& slot : line) {
            std::string text;
            if (!in.lengthText(text, kCommentSlotSize, kCommentMaxChars)) return false;
            slot.fill('\0');
            for (size_t i = 0; i < text.size(); ++i) slot[i] = text[i];
        }
    }

    // Rows 80..124 are not stored: they keep their blank state.
    for (int r = kLadderRows; r < kGridRows; ++r) {
        cellText[r].fill(' ');
        linkMarks[r].fill(0);
    }
    (void)storedCount;  // the flags are the authority for the number of comment lines
    normalizeCommentFlags();
    computeUsedBlocks();
    return true;
}

// ---------------------------------------------------------------------------------------------
// Cell text helpers

std::string PlcProgram::cellTextAt(int row, int cell) const {
    if (!validRow(row) || !validCell(cell)) return "   ";
    std::string s(3, ' ');
    for (int i = 0; i < 3; ++i) {
        const uint8_t c = cellText[row][cellColumn(cell) + i];
        s[i] = c == '\0' ? ' ' : static_cast<char>(c);
    }
    return s;
}

std::string PlcProgram::coilTextAt(int row) const {
    if (!validRow(row)) return "    ";
    std::string s(4, ' ');
    for (int i = 0; i < 4; ++i) {
        const uint8_t c = cellText[row][kCoilKindColumn + i];
        s[i] = c == '\0' ? ' ' : static_cast<char>(c);
    }
    return s;
}

bool PlcProgram::isRowBlank(int row) const {
    if (!validRow(row)) return true;
    for (uint8_t c : cellText[row])
        if (!isBlankByte(c)) return false;
    return true;
}

void PlcProgram::setContact(int row, int cell, char letter, int number) {
    if (!validRow(row) || !validCell(cell)) return;
    uint8_t* p = cellBytes(cellText[row], cell, kGapWire);
    p[0] = static_cast<uint8_t>(letter);
    PutElementNumber(p + 1, number);
}

void PlcProgram::setWire(int row, int cell) {
    if (!validRow(row) || !validCell(cell)) return;
    uint8_t* p = cellBytes(cellText[row], cell, kGapWire);
    p[0] = p[1] = p[2] = '-';
}

void PlcProgram::setDifferential(int row, int cell, bool inverted) {
    if (!validRow(row) || !validCell(cell)) return;
    uint8_t* p = cellBytes(cellText[row], cell, kGapWire);
    p[0] = inverted ? 'd' : 'D';
    p[1] = p[2] = '0';
}

void PlcProgram::clearCell(int row, int cell) {
    if (!validRow(row) || !validCell(cell)) return;
    uint8_t* p = cellBytes(cellText[row], cell, ' ');
    p[0] = p[1] = p[2] = ' ';
}

void PlcProgram::setCoil(int row, uint8_t kind, char letter, int number) {
    if (!validRow(row)) return;
    cellText[row][kCoilKindColumn] = kind;
    cellText[row][kCoilLetterColumn] = static_cast<uint8_t>(letter);
    PutElementNumber(cellText[row].data() + kCoilNumberColumn, number);
}

void PlcProgram::setBlockCoil(int row, std::string_view pair, int number) {
    if (!validRow(row) || pair.size() != 2) return;
    cellText[row][kCoilKindColumn] = static_cast<uint8_t>(pair[0]);
    cellText[row][kCoilLetterColumn] = static_cast<uint8_t>(pair[1]);
    PutElementNumber(cellText[row].data() + kCoilNumberColumn, number);
}

void PlcProgram::clearCoil(int row) {
    if (!validRow(row)) return;
    for (int i = 0; i < 4; ++i) cellText[row][kCoilKindColumn + i] = ' ';
}

int PlcProgram::ladderRowsUsed() const {
    int n = 0;
    for (int r = 0; r < kLadderRows; ++r)
        if (!isRowBlank(r)) ++n;
    return n;
}

int PlcProgram::symbolCount() const {
    int n = 0;
    for (const auto& g : symbols) n += static_cast<int>(g.entries.size());
    return n;
}

int PlcProgram::ladderRowOfDisplayLine(int displayLine) const {
    if (displayLine < 0 || displayLine >= static_cast<int>(displayLineCount) ||
        displayLine >= kMaxDisplayLines || commentFlags[displayLine] == 1)
        return -1;
    int row = 0;
    for (int i = 0; i < displayLine; ++i)
        if (commentFlags[i] != 1) ++row;
    return row < kLadderRows ? row : -1;
}

std::string PlcProgram::commentText(int displayLine, int textLine) const {
    if (displayLine < 0 || displayLine >= kMaxDisplayLines || textLine < 0 ||
        textLine >= kCommentTextLines)
        return {};
    const CommentSlot& slot = comments[displayLine][textLine];
    size_t n = 0;
    while (n < kCommentSlotSize && slot[n] != '\0') ++n;
    return std::string(slot.data(), n);
}

void PlcProgram::setCommentText(int displayLine, int textLine, std::string_view text) {
    if (displayLine < 0 || displayLine >= kMaxDisplayLines || textLine < 0 ||
        textLine >= kCommentTextLines)
        return;
    CommentSlot& slot = comments[displayLine][textLine];
    slot.fill('\0');
    const size_t n = text.size() < kCommentMaxChars ? text.size() : kCommentMaxChars;
    for (size_t i = 0; i < n; ++i) slot[i] = text[i];
}

std::string PlcProgram::rowListing(int row) const {
    if (!validRow(row)) return {};
    std::string s;
    for (int c = 0; c < kContactCells; ++c) {
        s += cellTextAt(row, c);
        const uint8_t gap = cellText[row][gapColumn(c)];
        if (gap == kGapLinkDown || gap == kGapLinkUp || gap == kGapLinkThrough)
            s += '|';
        else if (gap == kGapWire)
            s += '-';
        else
            s += ' ';
    }
    const Row& r = cellText[row];
    const uint8_t kind = r[kCoilKindColumn];
    const std::string coil = coilTextAt(row);
    if (coil == "    ") return s;
    if ((kind == 'A' && r[kCoilLetterColumn] == 'S') ||
        (kind == 'M' && r[kCoilLetterColumn] == 'D'))
        return s + "[" + coil;
    const std::string element = coil.substr(1);
    switch (kind) {
        case kCoilOutput:
            return s + "-[" + element;
        case kCoilSet:
            return s + "S " + element;
        case kCoilReset:
            return s + "R " + element;
        case kCoilPulse:
            return s + "P " + element;
        default:
            return s + " " + coil;
    }
}

std::string ElementName(std::string_view kind, int number) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2X", static_cast<unsigned>(number) & 0xFFu);
    return std::string(kind) + buf;
}

int ElementNumberAt(const uint8_t* digits) {
    const int hi = hexValue(digits[0]), lo = hexValue(digits[1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

void PutElementNumber(uint8_t* out, int number) {
    static const char digits[] = "0123456789ABCDEF";
    out[0] = static_cast<uint8_t>(digits[(number >> 4) & 0xF]);
    out[1] = static_cast<uint8_t>(digits[number & 0xF]);
}

}  // namespace pv
