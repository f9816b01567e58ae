#include "plc/PlcWire.h"

#include <algorithm>
#include <string_view>

namespace pv::plc {

namespace {

int hexDigit(std::uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// The element number of two hex digits, or -1.
int hexNumber(const std::uint8_t* p) {
    const int hi = hexDigit(p[0]), lo = hexDigit(p[1]);
    return hi < 0 || lo < 0 ? -1 : hi * 16 + lo;
}

void putHex2(std::uint8_t* p, int n) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    p[0] = static_cast<std::uint8_t>(kDigits[(n >> 4) & 15]);
    p[1] = static_cast<std::uint8_t>(kDigits[n & 15]);
}

// Contact letters by the high nibble of their code (0x10..0xF0); 0 where none.
constexpr std::string_view kContactLetters{"\0ITCMFGQ\0itcmfgq", 16};

bool isLinkArrival(std::uint8_t gap) {
    return gap == kGapLinkThrough || gap == kGapLinkUp;
}

bool blankChar(std::uint8_t c) {
    return c == ' ' || c == '\0';
}

// --- value fields -------------------------------------------------------------------------

// Packed BCD of `bytes` digits pairs, most significant byte first.
std::uint32_t fromBcd(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v * 100 + (p[i] >> 4) * 10 + (p[i] & 15);
    return v;
}

void toBcd(std::uint8_t* p, int bytes, std::uint32_t v) {
    for (int i = bytes - 1; i >= 0; --i) {
        const std::uint32_t pair = v % 100;
        v /= 100;
        p[i] = static_cast<std::uint8_t>((pair / 10) << 4 | pair % 10);
    }
}

// A constant on the wire is an unsigned 16-bit number; the dialogs keep constants within it, a
// record that holds more (a hand-edited file) is sent as the largest value the drive takes.
std::uint16_t wireConstant(std::uint32_t v) {
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(v, 0xFFFF));
}

// Reference classes of the value reference code (class * 16 + n - 1).
enum RefClass { kTimerForm0 = 0, kTimerForm1 = 1, kCounter = 2, kAnalog = 3, kAddSub = 4, kMulDiv = 5 };

// A 3-byte field of a timer, counter, comparator or drive-control record: a reference when its
// first byte is above any BCD digit pair.
bool isRecordReference(const std::uint8_t* f) {
    return f[0] >= 0xA0;
}

// The value reference code of a record field (first byte, selector, number); 0 when unknown.
std::uint8_t recordReferenceCode(std::uint8_t first, std::uint8_t selector, std::uint8_t number) {
    const int n = first & 15;
    switch (first & 0xF0) {
        case 0xB0: return static_cast<std::uint8_t>((selector ? kTimerForm1 : kTimerForm0) * 16 + n - 1);
        case 0xC0: return static_cast<std::uint8_t>(kCounter * 16 + n - 1);
        case 0xD0: return static_cast<std::uint8_t>(kAnalog * 16 + n - 1);
        case 0xA0:
            if (selector == 1) return static_cast<std::uint8_t>(kAddSub * 16 + number - 1);
            if (selector == 2) return static_cast<std::uint8_t>(kMulDiv * 16 + number - 1);
            return 0;
        default: return 0;
    }
}

// The record form of a value reference code: first byte, selector, number.
std::array<std::uint8_t, 3> recordReference(std::uint8_t code) {
    const int cls = code >> 4;
    const auto n = static_cast<std::uint8_t>((code & 15) + 1);
    switch (cls) {
        case kTimerForm0: return {static_cast<std::uint8_t>(0xB0 + n), 0, 0};
        case kTimerForm1: return {static_cast<std::uint8_t>(0xB0 + n), 1, 0};
        case kCounter: return {static_cast<std::uint8_t>(0xC0 + n), 0, 0};
        case kAnalog: return {static_cast<std::uint8_t>(0xD0 + n), 0, 0};
        case kAddSub: return {0xA0, 1, n};
        case kMulDiv: return {0xA0, 2, n};
        default: return {0xB1, 0, 0};
    }
}

// The 16-bit wire value of a 3-byte record field (6 BCD digits, or a reference) and whether it
// is a reference.
std::pair<std::uint16_t, bool> wireOfField(const std::uint8_t* f) {
    if (isRecordReference(f)) return {recordReferenceCode(f[0], f[1], f[2]), true};
    return {wireConstant(fromBcd(f, 3)), false};
}

void fieldOfWire(std::uint8_t* f, std::uint16_t v, bool reference) {
    if (reference) {
        const auto r = recordReference(static_cast<std::uint8_t>(v));
        std::copy(r.begin(), r.end(), f);
    } else {
        toBcd(f, 3, v);
    }
}

// AS and MD records mark a reference by a first byte of 0x20 or more: the class in its high
// nibble (2 timer, 3 counter, 4 V, 5 AS, 6 MD), the number in the second byte, the timer's form
// in the third.
std::pair<std::uint16_t, bool> wireOfBlockValue(const std::uint8_t* f) {
    if (f[0] < 0x20) return {wireConstant(fromBcd(f, 3)), false};
    const int n = f[1];
    int cls = 0;
    switch (f[0] >> 4) {
        case 2: cls = f[2] ? kTimerForm1 : kTimerForm0; break;
        case 3: cls = kCounter; break;
        case 4: cls = kAnalog; break;
        case 5: cls = kAddSub; break;
        case 6: cls = kMulDiv; break;
        default: return {0, true};
    }
    return {static_cast<std::uint16_t>(cls * 16 + n - 1), true};
}

void blockValueOfWire(std::uint8_t* f, std::uint16_t v, bool reference) {
    if (!reference) {
        toBcd(f, 3, v);
        return;
    }
    const int cls = (v >> 4) & 15;
    const auto n = static_cast<std::uint8_t>((v & 15) + 1);
    static constexpr std::uint8_t kFirst[] = {0x20, 0x20, 0x30, 0x40, 0x50, 0x60};
    f[0] = cls < 6 ? kFirst[cls] : 0x20;
    f[1] = n;
    f[2] = cls == kTimerForm1 ? 1 : 0;
}

// Input references: (letter, number) in the record, the referenced contact's code on the wire.
constexpr std::uint8_t kNoInput[2] = {0x4C, 0x6F};

std::uint8_t wireOfInput(const std::uint8_t* f) {
    if (f[0] == kNoInput[0] && f[1] == kNoInput[1]) return 0;
    const auto pos = kContactLetters.find(static_cast<char>(f[0]));
    if (pos == std::string_view::npos || pos == 0 || pos == 8 || f[1] < 1 || f[1] > 16) return 0;
    return static_cast<std::uint8_t>(pos << 4 | (f[1] - 1));
}

void inputOfWire(std::uint8_t* f, std::uint8_t code) {
    const char letter = code > 9 ? kContactLetters[code >> 4] : '\0';
    if (letter == '\0') {
        f[0] = kNoInput[0];
        f[1] = kNoInput[1];
        return;
    }
    f[0] = static_cast<std::uint8_t>(letter);
    f[1] = static_cast<std::uint8_t>((code & 15) + 1);
}

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<std::uint8_t>(v >> 8);
    out[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

std::uint16_t get16(std::span<const std::uint8_t> in, std::size_t at) {
    return static_cast<std::uint16_t>(in[at] << 8 | in[at + 1]);
}

bool matches(std::span<const std::uint8_t> record, int from, std::initializer_list<int> bytes) {
    int i = from;
    for (int b : bytes)
        if (record[i++] != b) return false;
    return true;
}

constexpr int kTimerMode7 = 7;

}  // namespace

std::uint8_t ContactCode(const std::uint8_t* cell) {
    switch (cell[0]) {
        case '-': return 0x01;
        case 'D': return 0x08;
        case 'd': return 0x09;
        default: break;
    }
    const auto pos = kContactLetters.find(static_cast<char>(cell[0]));
    if (cell[0] == '\0' || pos == std::string_view::npos) return 0;
    const int n = hexNumber(cell + 1);
    if (n < 1 || n > 16) return 0;
    return static_cast<std::uint8_t>(pos << 4 | (n - 1));
}

std::uint8_t CoilCode(const std::uint8_t* coil) {
    const int n = hexNumber(coil + 2);
    if (n < 1 || n > 16) return 0;
    const std::uint8_t kind = coil[0];
    // Q coils count from 8 in the low nibble: Q1..Q8 fit in a row of the table.
    auto outputCoil = [&](std::uint8_t plain, std::uint8_t set, std::uint8_t reset,
                          std::uint8_t pulse, int offset) -> std::uint8_t {
        if (n + offset - 1 > 15) return 0;
        const std::uint8_t base = kind == kCoilOutput ? plain
                                  : kind == kCoilSet  ? set
                                  : kind == kCoilReset ? reset
                                                       : pulse;
        return static_cast<std::uint8_t>(base + offset + n - 1);
    };
    switch (coil[1]) {
        case 'Q': return outputCoil(0x00, 0x40, 0x80, 0xC0, 8);
        case 'M': return outputCoil(0x10, 0x50, 0x90, 0xD0, 0);
        case 'T': return static_cast<std::uint8_t>(0x20 + n - 1);
        case 'F': return static_cast<std::uint8_t>(0x30 + n - 1);
        case 'C': return static_cast<std::uint8_t>(0x60 + n - 1);
        case 'G': return static_cast<std::uint8_t>(0xA0 + n - 1);
        case 'S': return static_cast<std::uint8_t>(0x70 + n - 1);
        case 'D': return static_cast<std::uint8_t>(0xB0 + n - 1);
        default: return 0;
    }
}

LineBytes EncodeLine(const PlcProgram& program, int line) {
    LineBytes out{};
    const int first = (line - 1) * kRowsPerProgramLine;
    for (int r = 0; r < kRowsPerProgramLine; ++r) {
        const Row& row = program.cellText[first + r];
        for (int k = 0; k < kContactCells; ++k) out[4 * k + r] = ContactCode(&row[cellColumn(k)]);
        out[12 + r] = CoilCode(&row[kCoilKindColumn]);
    }
    for (int g = 0; g < kContactCells; ++g) {
        std::uint8_t bits = 0;
        for (int r = 1; r < kRowsPerProgramLine; ++r)
            if (isLinkArrival(program.cellText[first + r][gapColumn(g)]))
                bits |= static_cast<std::uint8_t>(1 << (4 + r - 1));
        if (isLinkArrival(program.cellText[first + kRowsPerProgramLine][gapColumn(g)])) bits |= 0x80;
        out[16 + g] = bits;
    }
    return out;
}

namespace {

void decodeContact(Row& row, int cell, std::uint8_t code) {
    std::uint8_t* p = &row[cellColumn(cell)];
    std::uint8_t& gap = row[gapColumn(cell)];
    const char letter = code > 9 ? kContactLetters[code >> 4] : '\0';
    if (code == 0x01) {
        p[0] = p[1] = p[2] = '-';
    } else if (code == 0x08 || code == 0x09) {
        p[0] = code == 0x08 ? 'D' : 'd';
        p[1] = p[2] = '0';
    } else if (letter != '\0') {
        p[0] = static_cast<std::uint8_t>(letter);
        putHex2(p + 1, (code & 15) + 1);
    } else {
        p[0] = p[1] = p[2] = ' ';
        if (gap == '\0') gap = ' ';
        return;
    }
    if (gap == '\0') gap = kGapWire;
}

void decodeCoil(Row& row, std::uint8_t code) {
    std::uint8_t* c = &row[kCoilKindColumn];
    const int hi = code >> 4, lo = code & 15;
    struct Kind {
        std::uint8_t kind;
        char letter;
    };
    // By the high nibble of the code: kind column and letter (AS and MD fill both columns).
    static constexpr Kind kKinds[16] = {
        {kCoilOutput, 'Q'}, {kCoilOutput, 'M'}, {kCoilOutput, 'T'}, {kCoilOutput, 'F'},
        {kCoilSet, 'Q'},    {kCoilSet, 'M'},    {kCoilOutput, 'C'}, {'A', 'S'},
        {kCoilReset, 'Q'},  {kCoilReset, 'M'},  {kCoilOutput, 'G'}, {'M', 'D'},
        {kCoilPulse, 'Q'},  {kCoilPulse, 'M'},  {0, '\0'},          {0, '\0'}};
    const Kind k = kKinds[hi];
    const bool q = k.letter == 'Q';
    if (code == 0 || k.letter == '\0' || (q && lo < 8)) {
        c[0] = c[1] = c[2] = c[3] = ' ';
        return;
    }
    c[0] = k.kind;
    c[1] = static_cast<std::uint8_t>(k.letter);
    putHex2(c + 2, q ? lo - 7 : lo + 1);
}

}  // namespace

void DecodeLine(PlcProgram& program, int line, const LineBytes& bytes) {
    const int first = (line - 1) * kRowsPerProgramLine;
    for (int r = 0; r < kRowsPerProgramLine; ++r) {
        Row& row = program.cellText[first + r];
        for (int k = 0; k < kContactCells; ++k) decodeContact(row, k, bytes[4 * k + r]);
        decodeCoil(row, bytes[12 + r]);
    }
    for (int g = 0; g < kContactCells; ++g) {
        const int m = bytes[16 + g] >> 4;
        const int col = gapColumn(g);
        auto gapOf = [&](int j) -> std::uint8_t& { return program.cellText[first + j][col]; };
        for (int j = 0; j < 4; ++j)
            program.linkMarks[first + j + 1][2 + 4 * g] = (m >> j & 1) ? kLinkMark : 0;
        for (int j = 0; j < 4; ++j) {
            if (!(m >> j & 1)) continue;
            const bool below = j < 3 && (m >> (j + 1) & 1);
            gapOf(j + 1) = below ? kGapLinkThrough : kGapLinkUp;
            if (j > 0 && (m >> (j - 1) & 1))
                gapOf(j) = kGapLinkThrough;
            else if (j > 0 || line == 1)
                gapOf(j) = kGapLinkDown;
            else
                gapOf(j) = gapOf(0) == kGapLinkUp ? kGapLinkThrough : kGapLinkDown;
        }
    }
}

void ClearGrids(PlcProgram& program) {
    for (int r = 0; r < kLadderRows + kRowsPerProgramLine + 1 && r < kGridRows; ++r) {
        program.cellText[r].fill(0);
        program.linkMarks[r].fill(0);
    }
}

bool LineIsBlank(const PlcProgram& program, int line) {
    const int first = (line - 1) * kRowsPerProgramLine;
    for (int r = 0; r < kRowsPerProgramLine; ++r)
        for (std::uint8_t c : program.cellText[first + r])
            if (!blankChar(c)) return false;
    return true;
}

const BlockLayout& Layout(BlockKind kind) {
    static constexpr BlockLayout kLayouts[] = {
        {BlockKind::Timer, kTimerCount, 0xA200, 5, 5},
        {BlockKind::Counter, kCounterCount, 0xA228, 4, 4},
        {BlockKind::Comparator, kComparatorCount, 0xA248, 3, 3},
        {BlockKind::DriveBlock, kDriveBlockCount, 0xA260, 6, 6},
        {BlockKind::AddSub, kAddSubCount, 0xA290, 5, 5},
        {BlockKind::MulDiv, kMulDivCount, 0xA2A4, 5, 5},
    };
    return kLayouts[static_cast<int>(kind)];
}

std::span<std::uint8_t> RecordOf(PlcProgram& p, BlockKind kind, int i) {
    switch (kind) {
        case BlockKind::Timer: return p.timers[i];
        case BlockKind::Counter: return p.counters[i];
        case BlockKind::Comparator: return p.comparators[i];
        case BlockKind::DriveBlock: return p.driveBlocks[i];
        case BlockKind::AddSub: return p.addSubBlocks[i];
        case BlockKind::MulDiv: return p.mulDivBlocks[i];
    }
    return {};
}

std::span<const std::uint8_t> RecordOf(const PlcProgram& p, BlockKind kind, int i) {
    return RecordOf(const_cast<PlcProgram&>(p), kind, i);
}

bool BlockUsed(const PlcProgram& p, BlockKind kind, int i) {
    switch (kind) {
        case BlockKind::Timer: return p.used.timers[i];
        case BlockKind::Counter: return p.used.counters[i];
        case BlockKind::Comparator: return p.used.comparators[i];
        case BlockKind::DriveBlock: return p.used.driveBlocks[i];
        case BlockKind::AddSub: return p.used.addSub[i];
        case BlockKind::MulDiv: return p.used.mulDiv[i];
    }
    return false;
}

WireBlock EncodeBlock(const PlcProgram& program, BlockKind kind, int index) {
    const auto rec = RecordOf(program, kind, index);
    WireBlock w;
    auto& out = w.bytes;
    switch (kind) {
        case BlockKind::Timer: {
            const int mode = rec[1] >> 4;
            const bool mode7 = mode == kTimerMode7;
            out.assign(mode7 ? 6 : 4, 0);
            const bool firstRef = isRecordReference(&rec[2]);
            out[0] = static_cast<std::uint8_t>((mode & 7) | (firstRef ? 8 : 0) | (rec[1] & 3) << 4);
            if (mode7) out[0] |= static_cast<std::uint8_t>((rec[7] & 3) << 6);
            const bool takesInput = mode != 1 && mode != 5 && mode != kTimerMode7;
            out[1] = takesInput ? wireOfInput(&rec[4]) : 0;
            put16(out, 2, firstRef ? recordReferenceCode(rec[2], rec[3], rec[6])
                                   : wireConstant(fromBcd(&rec[2], 2)));
            if (mode7) {
                w.secondPresetReference = isRecordReference(&rec[8]);
                put16(out, 4, w.secondPresetReference
                                  ? recordReferenceCode(rec[8], rec[9], rec[10])
                                  : wireConstant(fromBcd(&rec[8], 2)));
            }
            break;
        }
        case BlockKind::Counter: {
            out.assign(6, 0);
            const auto [preset, ref] = wireOfField(&rec[2]);
            out[1] = static_cast<std::uint8_t>((rec[1] >> 4 & 7) | (ref ? 8 : 0));
            out[2] = wireOfInput(&rec[5]);
            out[3] = wireOfInput(&rec[7]);
            put16(out, 4, preset);
            break;
        }
        case BlockKind::Comparator: {
            out.assign(6, 0);
            const int mode = rec[1] >> 4;
            const auto [upper, upperRef] = wireOfField(&rec[5]);
            const auto [lower, lowerRef] = wireOfField(&rec[8]);
            out[0] = static_cast<std::uint8_t>(mode + (upperRef ? 16 : 0) + (lowerRef ? 8 : 0));
            out[1] = wireOfField(&rec[2]).first;
            if (mode == 2 || mode == 3) put16(out, 2, upper);
            if (mode == 1 || mode == 3) put16(out, 4, lower);
            break;
        }
        case BlockKind::DriveBlock: {
            out.assign(12, 0);
            const auto [set, setRef] = wireOfField(&rec[1]);
            const auto [seg, segRef] = wireOfField(&rec[4]);
            out[1] = static_cast<std::uint8_t>((setRef ? 2 : 0) + (segRef ? 1 : 0));
            out[2] = wireOfInput(&rec[15]);
            out[3] = wireOfInput(&rec[13]);
            put16(out, 4, wireConstant(fromBcd(&rec[7], 3)));
            put16(out, 6, wireConstant(fromBcd(&rec[10], 3)));
            put16(out, 8, set);
            put16(out, 10, seg);
            break;
        }
        case BlockKind::AddSub:
        case BlockKind::MulDiv: {
            out.assign(8, 0);
            if (rec[10] == 1 && rec[11] >= 1 && rec[11] <= 16)
                out[0] = static_cast<std::uint8_t>(0x10 + rec[11] - 1);
            for (int k = 0; k < 3; ++k) {
                const auto [v, ref] = wireOfBlockValue(&rec[1 + 3 * k]);
                if (ref) out[1] |= static_cast<std::uint8_t>(1 << k);
                put16(out, 2 + 2 * k, v);
            }
            break;
        }
    }
    return w;
}

void DecodeBlock(PlcProgram& program, BlockKind kind, int index,
                 std::span<const std::uint8_t> wire, bool secondPresetReference) {
    const auto rec = RecordOf(program, kind, index);
    switch (kind) {
        case BlockKind::Timer: {
            if (wire.size() < 4) return;
            const int mode = wire[0] & 7;
            const bool firstRef = wire[0] & 8;
            rec[1] = static_cast<std::uint8_t>(mode << 4 | (wire[0] >> 4 & 3));
            if (firstRef) {
                const auto r = recordReference(static_cast<std::uint8_t>(get16(wire, 2)));
                rec[2] = r[0];
                rec[3] = r[1];
                rec[6] = r[2];
            } else {
                toBcd(&rec[2], 2, std::min<std::uint16_t>(get16(wire, 2), 9999));
                rec[6] = 0;
            }
            inputOfWire(&rec[4], wire[1]);
            if (mode == kTimerMode7 && wire.size() >= 6) {
                rec[7] = static_cast<std::uint8_t>(0x70 | (wire[0] >> 6 & 3));
                if (secondPresetReference) {
                    const auto r = recordReference(static_cast<std::uint8_t>(get16(wire, 4)));
                    std::copy(r.begin(), r.end(), &rec[8]);
                } else {
                    toBcd(&rec[8], 2, std::min<std::uint16_t>(get16(wire, 4), 9999));
                    rec[10] = 0;
                }
            } else {
                rec[7] = 0x71;
                rec[8] = rec[9] = rec[10] = 0;
            }
            break;
        }
        case BlockKind::Counter: {
            if (wire.size() < 6) return;
            rec[1] = static_cast<std::uint8_t>((wire[1] & 7) << 4);
            inputOfWire(&rec[5], wire[2]);
            inputOfWire(&rec[7], wire[3]);
            fieldOfWire(&rec[2], get16(wire, 4), wire[1] & 8);
            break;
        }
        case BlockKind::Comparator: {
            if (wire.size() < 6) return;
            const int mode = wire[0] & 7;
            rec[1] = static_cast<std::uint8_t>(mode << 4);
            fieldOfWire(&rec[2], wire[1], true);
            fieldOfWire(&rec[5], get16(wire, 2), wire[0] & 16);
            fieldOfWire(&rec[8], get16(wire, 4), wire[0] & 8);
            break;
        }
        case BlockKind::DriveBlock: {
            if (wire.size() < 12) return;
            inputOfWire(&rec[15], wire[2]);
            inputOfWire(&rec[13], wire[3]);
            toBcd(&rec[7], 3, get16(wire, 4));
            toBcd(&rec[10], 3, get16(wire, 6));
            fieldOfWire(&rec[1], get16(wire, 8), wire[1] & 2);
            fieldOfWire(&rec[4], get16(wire, 10), wire[1] & 1);
            break;
        }
        case BlockKind::AddSub:
        case BlockKind::MulDiv: {
            if (wire.size() < 8) return;
            rec[10] = wire[0] >= 0x10 ? 1 : 0;
            rec[11] = wire[0] >= 0x10 ? static_cast<std::uint8_t>((wire[0] & 15) + 1) : 0;
            for (int k = 0; k < 3; ++k)
                blockValueOfWire(&rec[1 + 3 * k], get16(wire, 2 + 2 * k), wire[1] >> k & 1);
            break;
        }
    }
}

namespace {
FieldValue fromCode(std::uint8_t code) {
    return {true, code >> 4, (code & 15) + 1, 0};
}
}  // namespace

FieldValue RecordField(const std::uint8_t* f, int bcdBytes, int numberOffset) {
    if (!isRecordReference(f)) return {false, 0, 0, fromBcd(f, bcdBytes)};
    return fromCode(recordReferenceCode(f[0], f[1], f[numberOffset]));
}

FieldValue BlockField(const std::uint8_t* f) {
    const auto [v, ref] = wireOfBlockValue(f);
    if (!ref) return {false, 0, 0, fromBcd(f, 3)};
    return fromCode(static_cast<std::uint8_t>(v));
}

bool BlockUnchanged(const PlcProgram& program, BlockKind kind, int index) {
    const auto r = RecordOf(program, kind, index);
    switch (kind) {
        case BlockKind::Timer:
            return matches(r, 1, {0x11, 0, 0, 0x4C, 0x6F, 0, 0x71, 0, 0, 0});
        case BlockKind::Counter:
            return matches(r, 1, {0x10, 0, 0, 0, 0x4C, 0x6F, 0x4C, 0x6F});
        // The write's patterns for comparators and drive-control blocks are not their defaults
        // (0xD1 against 0xB1, 1 against 0x50): a used one of a new project is always sent.
        case BlockKind::Comparator:
            return matches(r, 1, {0x10, 0xD1, 0, 0, 0, 0, 1, 0, 0, 0});
        case BlockKind::DriveBlock:
            return matches(r, 1, {0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0x4C, 0x6F, 0x4C, 0x6F});
        case BlockKind::AddSub:
            return matches(r, 1, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        case BlockKind::MulDiv:
            return matches(r, 1, {0, 0, 1, 0, 0, 1, 0, 0, 1, 0, 0});
    }
    return false;
}

}  // namespace pv::plc
