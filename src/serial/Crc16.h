#pragma once
// CRC-16/MODBUS: polynomial 0xA001 (reflected 0x8005), initial value 0xFFFF. On the wire the low
// byte goes first.

#include <cstddef>
#include <cstdint>

namespace pv::serial {

std::uint16_t crc16(const std::uint8_t* data, std::size_t len);

// Appends nothing; checks that the last two bytes of a frame are the CRC of the rest.
bool frameCrcOk(const std::uint8_t* frame, std::size_t len);

}  // namespace pv::serial
