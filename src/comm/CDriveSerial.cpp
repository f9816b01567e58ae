#include "comm/CDriveSerial.h"

#include "comm/ModbusFrames.h"

namespace pv::comm {

long CDriveSerial::Read(std::uint8_t* buf, std::size_t len, std::size_t* bytesRead, int timeoutMs) {
    if (len > kMaxReception) {
        PurgeInput();
        if (bytesRead) *bytesRead = 0;
        return 0;
    }
    return CSerial::Read(buf, len, bytesRead, timeoutMs);
}

bool CDriveSerial::CheckCRC(const std::uint8_t* frame, std::size_t len) {
    if (len < 2) return false;
    const std::uint16_t crc = Crc16(len - 2, frame);
    return frame[len - 2] == (crc & 0xFF) && frame[len - 1] == (crc >> 8);
}

}  // namespace pv::comm
