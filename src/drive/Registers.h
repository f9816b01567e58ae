#pragma once
// Holding registers of an N350 drive: parameters GG-NN at GG x 256 + NN, and the fixed registers
// outside the parameter groups. The program's link, its workflows and the virtual drive all read
// them from here, so the two ends of a wire cannot disagree.

#include <cstdint>

namespace pv::drive {

constexpr std::uint16_t ParamRegister(int group, int index) {
    return static_cast<std::uint16_t>(group * 256 + index);
}

inline constexpr int kMinStation = 1;
inline constexpr int kMaxStation = 32;
inline constexpr int kBroadcastStation = 0;
// Registers one function-03 or function-16 request may carry.
inline constexpr int kMaxRegistersPerRequest = 32;

// Function codes.
inline constexpr std::uint8_t kFuncRead = 0x03;
inline constexpr std::uint8_t kFuncWrite = 0x06;
inline constexpr std::uint8_t kFuncWriteMultiple = 0x10;

// Exception codes the drive answers with.
enum ExceptionCode : std::uint8_t {
    kIllegalFunction = 1,  // a function code the drive does not serve
    kIllegalAddress = 2,   // no such register, or a register that cannot be written
    kIllegalValue = 3,     // out of range, or refused in the drive's current state
    kRegisterCount = 4,    // a register count the drive does not serve
};

// Parameters the drive itself acts on.
inline constexpr std::uint16_t kRegControlMode = ParamRegister(0, 0);    // 00-00
inline constexpr std::uint16_t kRegTerminalMode = ParamRegister(0, 4);   // 00-04: 2 three-wire
inline constexpr std::uint16_t kRegCommFrequency = ParamRegister(0, 8);  // 00-08
inline constexpr std::uint16_t kRegAccelTime = ParamRegister(0, 14);     // 00-14
inline constexpr std::uint16_t kRegDecelTime = ParamRegister(0, 15);     // 00-15
inline constexpr std::uint16_t kRegLimitUnit = ParamRegister(0, 63);     // 00-63: hertz when non-zero
inline constexpr std::uint16_t kRegMaxFrequency = ParamRegister(1, 2);   // 01-02
inline constexpr int kMonitorGroup = 12;

// Identification, lock and password.
inline constexpr std::uint16_t kRegCapacity = ParamRegister(13, 0);  // 13-00
inline constexpr std::uint16_t kRegVersion = ParamRegister(13, 1);   // 13-01
inline constexpr std::uint16_t kRegLock = ParamRegister(13, 6);      // 13-06: 0 locks the parameters
inline constexpr std::uint16_t kRegPassword = ParamRegister(13, 7);  // 13-07
inline constexpr std::uint16_t kRegRestore = ParamRegister(13, 8);   // 13-08 restore factory setting
inline constexpr std::uint16_t kMaxParamPassword = 9999;
inline constexpr std::uint16_t kRegDriveType = 0x252F;
inline constexpr std::uint16_t kDriveTypeN350 = 0x0740;  // the type whose capacity is decoded
inline constexpr std::uint8_t kDriveSeriesN350 = 0x07;   // high byte of the drive type word

// Drive command and status.
inline constexpr std::uint16_t kRegCommandWord = 0x2501;
inline constexpr std::uint16_t kRegFrequencyCommand = 0x2502;
inline constexpr std::uint16_t kRegOutputCommand = 0x2507;
inline constexpr std::uint16_t kRegStatusFirst = 0x2520;
inline constexpr std::uint16_t kRegStatusLast = 0x252D;
// Command word bits.
inline constexpr std::uint16_t kCmdRun = 0x0001, kCmdReverse = 0x0002, kCmdFaultReset = 0x0008;
// Status word bits.
inline constexpr std::uint16_t kStRunning = 0x0001, kStReverse = 0x0002, kStFault = 0x0004,
                               kStAtSpeed = 0x0008;

// PLC memory and control.
inline constexpr std::uint16_t kRegPlcFirst = 0xA000;
inline constexpr std::uint16_t kRegPlcLast = 0xA2B8;
inline constexpr std::uint16_t kRegPlcControl1 = 0xA401;  // element states start here
inline constexpr std::uint16_t kRegPlcControl4 = 0xA404;
inline constexpr std::uint16_t kRegElementLast = 0xA407;
inline constexpr std::uint16_t kRegPlcRun = 0xA600;
inline constexpr std::uint16_t kRegPlcRun2 = 0xA601;  // clears the stored program
inline constexpr std::uint16_t kRegPlcPassword1 = 0xAA01;  // set
inline constexpr std::uint16_t kRegPlcPassword2 = 0xAA02;  // entry
inline constexpr std::uint16_t kRegPlcPassword3 = 0xAA03;  // state

}  // namespace pv::drive
