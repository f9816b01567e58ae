#pragma once
// The copy module: a small store of parameter sets in numbered storage groups, on a serial port
// of its own. Its frames start with 0xFA and carry the storage group in byte 1, so they never go
// through the Modbus transaction path: they have their own builders, their own exchange
// (CSerial::FrameSend) and their own reply checks.
//
// Module memory of one storage group, in bytes: the data area of 30 blocks from address 0, the
// name block (8 registers) at 0x0F3C and the directory (one register count per block) at 0x0F64.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "comm/CDriveSerial.h"
#include "editing/ParamRow.h"
#include "project/ParamTable.h"
#include "res/Prompts.h"

namespace pv::comm {

namespace copymodule {

inline constexpr int kBlocks = 30;
inline constexpr std::uint16_t kNameAddress = 0x0F3C;
inline constexpr std::uint16_t kDirectoryAddress = 0x0F64;
inline constexpr int kNameRegisters = 8;
inline constexpr int kNameBytes = 16;
// Longest frame the module takes, and the longest block the program writes at all.
inline constexpr int kMaxFrameRegisters = 31;
inline constexpr int kMaxBlockRegisters = 93;
inline constexpr std::uint8_t kStart = 0xFA;
inline constexpr std::uint8_t kFuncCommand = 0x08, kFuncWrite = 0x10, kFuncRead = 0x03;

enum Command : std::uint8_t {
    kConnect = 0x00,
    kStatus = 0x10,
    kStore = 0x30,      // end of a write, before kFinish
    kBeginRead = 0x50,  // start of a read
    kFinish = 0x60,     // end of a write or a read
};

using BlockCounts = std::array<int, kBlocks>;

// Register count of every block for a project: groups 00..22 in blocks 0..22 (the last defined
// index + 1), groups 23 and 24 in blocks 25 and 26 (their number of defined parameters), the
// fixed blocks 27 (19) and 28/29 (4 when the project has the hidden group 25).
BlockCounts CountsOf(const ParamTable& table);
// Byte address of every block: 100 bytes for a block of up to 50 registers, else 200 (block 12
// always 100), each block right after the one before.
std::array<std::uint16_t, kBlocks> BlockStarts(const BlockCounts& counts);
// Whether the program writes this block at all (9, 14, 15, 17, 23, 24, 27 and 29 belong to the
// module and the drive).
bool BlockCarried(int block);

// One frame's worth of registers the program carries: `count` registers from `firstRegister`
// of `block`, holding consecutive parameters of `group` starting at its `firstParam`-th carried
// parameter.
struct Segment {
    int block = 0;
    int firstRegister = 0;
    int count = 0;
    std::uint16_t address = 0;
    bool operator==(const Segment&) const = default;
};

// The frames that write (and, the same way, read back) the blocks of a set with these counts,
// in block order, each at most 31 registers. Block 12 is carried as its registers 1..4 only,
// block 25 without its last 4 registers, a block of more than 93 registers not at all.
std::vector<Segment> Segments(const BlockCounts& counts);
// The parameter index each register of a carried block stands for (-1: none): block k <= 22
// is group k by index, blocks 25/26 are groups 23/24 by their defined parameters in order,
// block 28 is the first four indexes of group 25.
int GroupOfBlock(int block);
std::vector<int> ParamIndexesOfBlock(const ParamTable& table, int block, int registers);

// Frames (the CRC appended, low byte first).
std::vector<std::uint8_t> CommandFrame(std::uint8_t group, std::uint8_t code);
std::vector<std::uint8_t> WriteFrame(std::uint8_t group, std::uint16_t address,
                                     const std::vector<std::uint16_t>& values);
std::vector<std::uint8_t> ReadFrame(std::uint8_t group, std::uint16_t address, int count);
inline std::size_t ReadReplyLength(int count) {
    return static_cast<std::size_t>(2 * count + 7);
}
inline constexpr std::size_t kCommandReplyLength = 9;
inline constexpr std::size_t kWriteReplyLength = 9;

// The name block: 16 bytes filled with blanks, the name over them and "!" in byte 15; nullopt
// for a name of 16 or more bytes (refused with "ERROR1").
std::optional<std::array<std::uint16_t, kNameRegisters>> NameRegisters(const std::string& name);
// The name a name block holds (the padding taken off).
std::string NameOfRegisters(const std::vector<std::uint16_t>& registers);

}  // namespace copymodule

// The module's own channel (9600 8N1) and what it remembers between commands: the port it is
// open on and whether the module answered a connect there. It stays open between commands; a
// failed frame closes it.
class CopyModuleLink {
public:
    CDriveSerial& channel() { return channel_; }
    bool open() const { return channel_.isOpen(); }
    bool moduleConnected() const { return connected_; }
    const std::string& port() const { return port_; }
    // Opens the channel on `port` unless it is open there already. False when it cannot.
    bool openOn(const std::string& port);
    void close();
    void setConnected(bool connected) { connected_ = connected; }

    // What the dialogs open with next time.
    CopyModuleChoice lastChoice;

private:
    CDriveSerial channel_;
    std::string port_;
    bool connected_ = false;
};

// The ports the copy module's dialogs offer: the machine's serial ports and the virtual devices
// registered in this process other than the drive bus.
std::vector<std::string> CopyModulePorts();

enum class CopyStatus { Done, Failed, Cancelled };

// A set read from a storage group: its name, its directory and the register values the program
// carries, by parameter.
struct CopyModuleSet {
    int group = 0;
    std::string name;
    copymodule::BlockCounts counts{};
    struct Value {
        int group = 0;
        int index = 0;
        std::uint16_t reg = 0;
        bool operator==(const Value&) const = default;
    };
    std::vector<Value> values;
};

// Writes the set values of `table` into a storage group of the module: the "Copy Module"
// dialog, the port, status or connect, the directory, the name, every carried block, then the
// store and finish commands. Every text goes through `prompts`.
CopyStatus WriteToCopyModule(CopyModuleLink& link, const ParamTable& table,
                             const editing::DisplaySettings& settings, Prompts& prompts);
// Reads a storage group back: the read dialog, the port, status or connect, the begin-read
// command, the name, the directory, every carried block, the finish command. `table` only says
// which parameters the blocks hold; the values come back in `out` for the caller to apply.
CopyStatus ReadFromCopyModule(CopyModuleLink& link, const ParamTable& table, Prompts& prompts,
                              CopyModuleSet& out);

// Takes a set read from the module into the set values of `table` (defined parameters only;
// 00-63 first decides how the limits are shown). Returns the number of values set.
int ApplyCopyModuleSet(const CopyModuleSet& set, ParamTable& table,
                       editing::DisplaySettings settings);

// The parameters whose set value in `table` differs from the module's: code, PC text, module
// text.
struct CopyDifference {
    std::string code;
    std::string pc;
    std::string module;
};
std::vector<CopyDifference> CompareWithCopyModule(const CopyModuleSet& set,
                                                  const ParamTable& table,
                                                  editing::DisplaySettings settings);

}  // namespace pv::comm
