#include "comm/ModbusFrames.h"

namespace pv::comm {

// Bitwise, eight shift steps per byte: frames stay under 200 bytes, so a table buys nothing and
// the program keeps no state of its own for it.
std::uint16_t Crc16(std::size_t len, const std::uint8_t* data) {
    std::uint16_t crc = 0xFFFF;
    for (std::size_t i = 0; i < len; ++i) {
        crc = static_cast<std::uint16_t>(crc ^ data[i]);
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? static_cast<std::uint16_t>((crc >> 1) ^ 0xA001)
                            : static_cast<std::uint16_t>(crc >> 1);
    }
    return crc;
}

void PutCrc(std::uint8_t* at, std::uint16_t crc) {
    at[0] = static_cast<std::uint8_t>(crc & 0xFF);
    at[1] = static_cast<std::uint8_t>(crc >> 8);
}

namespace {
std::uint16_t buildFixed(int station, std::uint8_t function, std::uint16_t a, std::uint16_t b,
                         std::uint8_t* buf) {
    buf[0] = static_cast<std::uint8_t>(station);
    buf[1] = function;
    buf[2] = static_cast<std::uint8_t>(a >> 8);
    buf[3] = static_cast<std::uint8_t>(a & 0xFF);
    buf[4] = static_cast<std::uint8_t>(b >> 8);
    buf[5] = static_cast<std::uint8_t>(b & 0xFF);
    const std::uint16_t crc = Crc16(6, buf);
    PutCrc(buf + 6, crc);
    return crc;
}
}  // namespace

std::uint16_t BuildReadFrame(int station, std::uint16_t firstRegister, std::uint16_t count,
                             std::uint8_t* buf) {
    return buildFixed(station, 0x03, firstRegister, count, buf);
}

std::uint16_t BuildWriteFrame(int station, std::uint16_t reg, std::uint16_t value,
                              std::uint8_t* buf) {
    return buildFixed(station, 0x06, reg, value, buf);
}

std::size_t BuildWriteMultipleFrame(int station, std::uint16_t firstRegister,
                                    const std::uint16_t* values, std::size_t count,
                                    std::uint8_t* buf) {
    buf[0] = static_cast<std::uint8_t>(station);
    buf[1] = 0x10;
    buf[2] = static_cast<std::uint8_t>(firstRegister >> 8);
    buf[3] = static_cast<std::uint8_t>(firstRegister & 0xFF);
    buf[4] = static_cast<std::uint8_t>(count >> 8);
    buf[5] = static_cast<std::uint8_t>(count & 0xFF);
    buf[6] = static_cast<std::uint8_t>(2 * count);
    for (std::size_t k = 0; k < count; ++k) {
        buf[7 + 2 * k] = static_cast<std::uint8_t>(values[k] >> 8);
        buf[8 + 2 * k] = static_cast<std::uint8_t>(values[k] & 0xFF);
    }
    PutCrc(buf + 7 + 2 * count, Crc16(7 + 2 * count, buf));
    return WriteMultipleRequestLength(count);
}

}  // namespace pv::comm
