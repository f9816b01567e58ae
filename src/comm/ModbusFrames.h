#pragma once
// Request frames of the three Modbus functions the drive speaks, and reading values out of a
// reply. Frames are built in the caller's fixed buffer; nothing is allocated per transaction.

#include <cstddef>
#include <cstdint>

namespace pv::comm {

inline constexpr std::size_t kReadRequestLength = 8;
inline constexpr std::size_t kWriteRequestLength = 8;
inline constexpr std::size_t kWriteReplyLength = 8;
inline constexpr std::size_t kExceptionReplyLength = 5;
// The most registers one function-03 request asks for in bulk transfers.
inline constexpr int kMaxReadBlock = 32;

// CRC-16/MODBUS of the first `len` bytes; 0xFFFF for none.
std::uint16_t Crc16(std::size_t len, const std::uint8_t* data);
// Stores `crc` low byte first at `at`.
void PutCrc(std::uint8_t* at, std::uint16_t crc);

// Function 03: 8 bytes into `buf`; returns the CRC.
std::uint16_t BuildReadFrame(int station, std::uint16_t firstRegister, std::uint16_t count,
                             std::uint8_t* buf);
// Function 06: 8 bytes into `buf`; returns the CRC.
std::uint16_t BuildWriteFrame(int station, std::uint16_t reg, std::uint16_t value,
                              std::uint8_t* buf);
// Function 16: 9 + 2N bytes into `buf` (header, values high byte first, CRC over 7 + 2N bytes);
// returns the frame length.
std::size_t BuildWriteMultipleFrame(int station, std::uint16_t firstRegister,
                                    const std::uint16_t* values, std::size_t count,
                                    std::uint8_t* buf);

// Expected reply lengths.
constexpr std::size_t ReadReplyLength(std::size_t count) {
    return 5 + 2 * count;
}
constexpr std::size_t WriteMultipleRequestLength(std::size_t count) {
    return 9 + 2 * count;
}

// Register k of a function-03 reply.
constexpr std::uint16_t ReplyRegister(const std::uint8_t* reply, std::size_t k) {
    return static_cast<std::uint16_t>(reply[3 + 2 * k] * 256 + reply[4 + 2 * k]);
}

}  // namespace pv::comm
