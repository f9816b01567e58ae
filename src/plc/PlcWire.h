#pragma once
// The drive's own form of a ladder program: 20 program lines of 20 bytes (four ladder rows each)
// and a short record per function block. A ladder program travels in this form to and from the
// drive, and the virtual drive decodes its PLC memory with the same functions, so what a drive
// would make of a program is decided in one place.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "plc/PlcProgram.h"

namespace pv::plc {

inline constexpr int kProgramLines = kLadderRows / kRowsPerProgramLine;  // 20
inline constexpr int kLineBytes = 20;                                    // 10 registers
using LineBytes = std::array<std::uint8_t, kLineBytes>;

// Contact code of a three-character cell (0 for an empty or unknown cell) and the cell it
// stands for; the code is the drive's: 0x01 wire, 0x08/0x09 differential, letter base + n - 1.
std::uint8_t ContactCode(const std::uint8_t* cell);
// Coil code of the four coil columns (kind, letter, two hex digits); 0 for no coil.
std::uint8_t CoilCode(const std::uint8_t* coil);

// Program line `line` (1..20) of the program's rows 4(line-1)..4(line-1)+3. The link bits of
// the gap bytes come from the lower row of each pair, so the line's last bit reads row 0 of the
// next line (row 80 for line 20).
LineBytes EncodeLine(const PlcProgram& program, int line);
// Writes the line's four rows of cell text and the link marks they carry. Lines are decoded in
// order 1..20 into grids cleared to NUL (ClearGrids): a link arriving from the line above is
// already in row 0's gap when the line is decoded.
void DecodeLine(PlcProgram& program, int line, const LineBytes& bytes);
// Clears the first 2000 bytes of the cell and link grids before a program is decoded.
void ClearGrids(PlcProgram& program);
// True when the line's 64 characters are all blanks or NULs (the line is not sent).
bool LineIsBlank(const PlcProgram& program, int line);

// Register counts of the block kinds: the drive answers a read with more registers than a write
// takes (a timer is read as 5 registers and written as 2, or 3 in mode 7).
enum class BlockKind { Timer, Counter, Comparator, DriveBlock, AddSub, MulDiv };
struct BlockLayout {
    BlockKind kind;
    int count;                  // blocks of the kind
    std::uint16_t firstRegister;
    int stride;                 // registers between two blocks
    int readRegisters;
};
const BlockLayout& Layout(BlockKind kind);
inline constexpr std::uint16_t kSecondPresetMaskRegister = 0xA2B8;

// The block's record bytes in memory form (20 bytes; counters use the first 10).
std::span<std::uint8_t> RecordOf(PlcProgram& program, BlockKind kind, int index);
std::span<const std::uint8_t> RecordOf(const PlcProgram& program, BlockKind kind, int index);
bool BlockUsed(const PlcProgram& program, BlockKind kind, int index);

// What a block record becomes on the wire: the bytes to write with function 16 (an even
// number: 2 registers per 4 bytes) and, for timers, whether the second preset is a reference
// (its bit in the A2B8 mask).
struct WireBlock {
    std::vector<std::uint8_t> bytes;
    bool secondPresetReference = false;
};
WireBlock EncodeBlock(const PlcProgram& program, BlockKind kind, int index);
// Decodes a block read back from the drive (at least the bytes EncodeBlock would write) into
// the block's record. `secondPresetReference` is the timer's bit of the A2B8 mask. Bytes of the
// record the wire does not carry are left as they were.
void DecodeBlock(PlcProgram& program, BlockKind kind, int index,
                 std::span<const std::uint8_t> wire, bool secondPresetReference = false);

// True when the block's record holds what the write treats as unchanged (not sent).
bool BlockUnchanged(const PlcProgram& program, BlockKind kind, int index);

}  // namespace pv::plc
