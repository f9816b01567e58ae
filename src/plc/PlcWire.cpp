#include "plc/PlcWire.h"

#include "plc/BlockRecords.h"

#include <algorithm>
#include <string_view>

namespace pv::plc {

namespace {

// Contact letters by the high nibble of their code (0x10..0xF0); 0 where none.
constexpr std::string_view kContactLetters{"\0ITCMFGQ\0itcmfgq", 16};

bool isLinkArrival(std::uint8_t gap) {
    return gap == kGapLinkThrough || gap == kGapLinkUp;
}

bool blankChar(std::uint8_t c) {
    return c == ' ' || c == '\0';
}

// --- value fields -------------------------------------------------------------------------

// A constant on the wire is an unsigned 16-bit number; the dialogs keep constants within it, a
// record that holds more (a hand-edited file) is sent as the largest value the drive takes.
std::uint16_t wireConstant(std::uint32_t v) {
    return static_cast<std::uint16_t>(std::min<std::uint32_t>(v, 0xFFFF));
}

// The wire's value reference code: class * 16 + n - 1, the class 0 or 1 a timer in its two
// forms, 2 a counter, 3 an analog value, 4 an AS and 5 an MD block.
std::pair<std::uint16_t, bool> wireOf(const BlockValue& v) {
    using K = BlockValue::Kind;
    int cls = 0;
    switch (v.kind) {
        case K::Constant: return {wireConstant(v.constant), false};
        case K::Timer: cls = v.timerForm ? 1 : 0; break;
        case K::Counter: cls = 2; break;
        case K::Analog: cls = 3; break;
        case K::AddSub: cls = 4; break;
        case K::MulDiv: cls = 5; break;
    }
    return {static_cast<std::uint16_t>(cls * 16 + ((v.number - 1) & 15)), true};
}

BlockValue valueOfWire(std::uint16_t w, bool reference, std::uint32_t largest = 999999) {
    using K = BlockValue::Kind;
    if (!reference) return BlockValue::constantOf(std::min<std::uint32_t>(w, largest));
    const int n = (w & 15) + 1;
    switch (w >> 4 & 15) {
        case 1: return BlockValue::reference(K::Timer, n, 1);
        case 2: return BlockValue::reference(K::Counter, n);
        case 3: return BlockValue::reference(K::Analog, n);
        case 4: return BlockValue::reference(K::AddSub, n);
        case 5: return BlockValue::reference(K::MulDiv, n);
        default: return BlockValue::reference(K::Timer, n, 0);
    }
}

// Inputs of a block travel as the referenced contact's code; 0 is no input.
std::uint8_t inputCode(const InputRef& in) {
    const auto pos = kContactLetters.find(in.letter);
    if (!in.connected() || pos == std::string_view::npos || pos == 0 || in.number < 1 ||
        in.number > 16)
        return 0;
    return static_cast<std::uint8_t>(pos << 4 | (in.number - 1));
}

InputRef inputOfCode(std::uint8_t code) {
    const char letter = code > 9 ? kContactLetters[code >> 4] : '\0';
    if (letter == '\0') return {};
    return InputRef{letter, (code & 15) + 1};
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
    const int n = ElementNumberAt(cell + 1);
    if (n < 1 || n > 16) return 0;
    return static_cast<std::uint8_t>(pos << 4 | (n - 1));
}

std::uint8_t CoilCode(const std::uint8_t* coil) {
    const int n = ElementNumberAt(coil + 2);
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
        PutElementNumber(p + 1, (code & 15) + 1);
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
    PutElementNumber(c + 2, q ? lo - 7 : lo + 1);
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
    WireBlock w;
    auto& out = w.bytes;
    auto put = [&](std::size_t at, const BlockValue& v) { put16(out, at, wireOf(v).first); };
    // A record whose bytes are neither constants nor references (a damaged file) goes as the
    // block's plain settings.
    switch (kind) {
        case BlockKind::Timer: {
            const TimerSettings s = ReadTimer(program.timers[index]).value_or(TimerSettings{});
            const bool mode7 = s.mode == kTimerMode7;
            out.assign(mode7 ? 6 : 4, 0);
            out[0] = static_cast<std::uint8_t>((s.mode & 7) | (s.preset.isReference() ? 8 : 0) |
                                               (s.timeBase & 3) << 4);
            if (mode7) out[0] |= static_cast<std::uint8_t>((s.timeBase2 & 3) << 6);
            out[1] = TimerSettings::usesReset(s.mode) ? inputCode(s.reset) : 0;
            put(2, s.preset);
            if (mode7) {
                w.secondPresetReference = s.preset2.isReference();
                put(4, s.preset2);
            }
            break;
        }
        case BlockKind::Counter: {
            const CounterSettings s = ReadCounter(program.counters[index]).value_or(CounterSettings{});
            out.assign(6, 0);
            out[1] = static_cast<std::uint8_t>((s.mode & 7) | (s.preset.isReference() ? 8 : 0));
            out[2] = inputCode(s.direction);
            out[3] = inputCode(s.reset);
            put(4, s.preset);
            break;
        }
        case BlockKind::Comparator: {
            const ComparatorSettings s =
                ReadComparator(program.comparators[index]).value_or(ComparatorSettings{});
            out.assign(6, 0);
            out[0] = static_cast<std::uint8_t>(s.mode + (s.upper.isReference() ? 16 : 0) +
                                               (s.lower.isReference() ? 8 : 0));
            out[1] = static_cast<std::uint8_t>(wireOf(s.value).first);
            if (s.mode == 2 || s.mode == 3) put(2, s.upper);
            if (s.mode == 1 || s.mode == 3) put(4, s.lower);
            break;
        }
        case BlockKind::DriveBlock: {
            const DriveBlockSettings s =
                ReadDriveBlock(program.driveBlocks[index]).value_or(DriveBlockSettings{});
            out.assign(12, 0);
            out[1] = static_cast<std::uint8_t>((s.setFreq.isReference() ? 2 : 0) +
                                               (s.segFreq.isReference() ? 1 : 0));
            out[2] = inputCode(s.terminal);
            out[3] = inputCode(s.fwdRev);
            put(4, s.accTime);
            put(6, s.decTime);
            put(8, s.setFreq);
            put(10, s.segFreq);
            break;
        }
        case BlockKind::AddSub:
        case BlockKind::MulDiv: {
            const BlockRecord& rec = kind == BlockKind::AddSub ? program.addSubBlocks[index]
                                                               : program.mulDivBlocks[index];
            const ArithSettings s = ReadArith(rec).value_or(ArithSettings{});
            out.assign(8, 0);
            if (s.outputRelay >= 1 && s.outputRelay <= 16)
                out[0] = static_cast<std::uint8_t>(0x10 + s.outputRelay - 1);
            for (int k = 0; k < 3; ++k) {
                if (s.values[k].isReference()) out[1] |= static_cast<std::uint8_t>(1 << k);
                put(2 + 2 * k, s.values[k]);
            }
            break;
        }
    }
    return w;
}

void DecodeBlock(PlcProgram& program, BlockKind kind, int index,
                 std::span<const std::uint8_t> wire, bool secondPresetReference) {
    switch (kind) {
        case BlockKind::Timer: {
            if (wire.size() < 4) return;
            TimerRecord& rec = program.timers[index];
            TimerSettings s = ReadTimer(rec).value_or(TimerSettings{});
            s.mode = wire[0] & 7;
            s.timeBase = wire[0] >> 4 & 3;
            s.preset = valueOfWire(get16(wire, 2), wire[0] & 8, 9999);
            s.reset = inputOfCode(wire[1]);
            s.timeBase2 = 1;
            s.preset2 = BlockValue::constantOf(0);
            if (s.mode == kTimerMode7 && wire.size() >= 6) {
                s.timeBase2 = wire[0] >> 6 & 3;
                s.preset2 = valueOfWire(get16(wire, 4), secondPresetReference, 9999);
            }
            WriteTimer(rec, s);
            break;
        }
        case BlockKind::Counter: {
            if (wire.size() < 6) return;
            CounterSettings s;
            s.mode = wire[1] & 7;
            s.direction = inputOfCode(wire[2]);
            s.reset = inputOfCode(wire[3]);
            s.preset = valueOfWire(get16(wire, 4), wire[1] & 8);
            WriteCounter(program.counters[index], s);
            break;
        }
        case BlockKind::Comparator: {
            if (wire.size() < 6) return;
            ComparatorSettings s;
            s.mode = wire[0] & 7;
            s.value = valueOfWire(wire[1], true);
            s.upper = valueOfWire(get16(wire, 2), wire[0] & 16);
            s.lower = valueOfWire(get16(wire, 4), wire[0] & 8);
            WriteComparator(program.comparators[index], s);
            break;
        }
        case BlockKind::DriveBlock: {
            if (wire.size() < 12) return;
            DriveBlockSettings s;
            s.terminal = inputOfCode(wire[2]);
            s.fwdRev = inputOfCode(wire[3]);
            s.accTime = valueOfWire(get16(wire, 4), false);
            s.decTime = valueOfWire(get16(wire, 6), false);
            s.setFreq = valueOfWire(get16(wire, 8), wire[1] & 2);
            s.segFreq = valueOfWire(get16(wire, 10), wire[1] & 1);
            WriteDriveBlock(program.driveBlocks[index], s);
            break;
        }
        case BlockKind::AddSub:
        case BlockKind::MulDiv: {
            if (wire.size() < 8) return;
            ArithSettings s;
            s.outputRelay = wire[0] >= 0x10 ? (wire[0] & 15) + 1 : 0;
            for (int k = 0; k < 3; ++k)
                s.values[k] = valueOfWire(get16(wire, 2 + 2 * k), wire[1] >> k & 1);
            WriteArith(kind == BlockKind::AddSub ? program.addSubBlocks[index]
                                                 : program.mulDivBlocks[index],
                       s);
            break;
        }
    }
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
