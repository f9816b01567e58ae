#pragma once
// Holding registers of an N350 drive: parameters GG-NN at GG x 256 + NN, and the fixed registers
// outside the parameter groups.

#include <cstdint>

namespace pv::comm {

constexpr std::uint16_t ParamRegister(int group, int index) {
    return static_cast<std::uint16_t>(group * 256 + index);
}

inline constexpr int kMinStation = 1;
inline constexpr int kMaxStation = 32;
inline constexpr int kBroadcastStation = 0;

// Function codes.
inline constexpr std::uint8_t kFuncRead = 0x03;
inline constexpr std::uint8_t kFuncWrite = 0x06;
inline constexpr std::uint8_t kFuncWriteMultiple = 0x10;

// Identification.
inline constexpr std::uint16_t kRegCapacity = ParamRegister(13, 0);  // 13-00
inline constexpr std::uint16_t kRegVersion = ParamRegister(13, 1);   // 13-01
inline constexpr std::uint16_t kRegLock = ParamRegister(13, 6);      // 13-06
inline constexpr std::uint16_t kRegPassword = ParamRegister(13, 7);  // 13-07
inline constexpr std::uint16_t kRegDriveType = 0x252F;
inline constexpr std::uint16_t kDriveTypeN350 = 0x0740;  // the type whose capacity is decoded
inline constexpr std::uint8_t kDriveSeriesN350 = 0x07;   // high byte of the drive type word

// Drive command and status.
inline constexpr std::uint16_t kRegCommandWord = 0x2501;
inline constexpr std::uint16_t kRegFrequencyCommand = 0x2502;
inline constexpr std::uint16_t kRegOutputCommand = 0x2507;
inline constexpr std::uint16_t kRegStatusFirst = 0x2520;
inline constexpr std::uint16_t kRegStatusLast = 0x252D;

// PLC memory and control.
inline constexpr std::uint16_t kRegPlcFirst = 0xA000;
inline constexpr std::uint16_t kRegPlcLast = 0xA2B8;
inline constexpr std::uint16_t kRegPlcControl1 = 0xA401;
inline constexpr std::uint16_t kRegPlcControl4 = 0xA404;
inline constexpr std::uint16_t kRegPlcRun = 0xA600;
inline constexpr std::uint16_t kRegPlcRun2 = 0xA601;
inline constexpr std::uint16_t kRegPlcPassword1 = 0xAA01;
inline constexpr std::uint16_t kRegPlcPassword2 = 0xAA02;
inline constexpr std::uint16_t kRegPlcPassword3 = 0xAA03;

// Model codes: 0x35000 + the capacity code in 13-00.
inline constexpr std::uint32_t kModelCodeBase = 0x35000;

}  // namespace pv::comm
