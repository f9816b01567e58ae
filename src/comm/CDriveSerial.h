#pragma once
// The program's channel class: the transport with the drive program's own rules for receiving
// and validating replies.

#include "serial/CSerial.h"

namespace pv::comm {

using serial::ErrType;

class CDriveSerial : public serial::CSerial {
public:
    // Receptions larger than any reply the program asks for.
    static constexpr std::size_t kMaxReception = 160;

    // A reception of more than 160 bytes is never a reply the program expects: pending input is
    // discarded and nothing is read. Otherwise the transport's frame receive.
    long Read(std::uint8_t* buf, std::size_t len, std::size_t* bytesRead, int timeoutMs) override;
    // False below 2 bytes; otherwise the CRC-16 of all but the last two bytes must equal them
    // (low byte first).
    bool CheckCRC(const std::uint8_t* frame, std::size_t len) override;
};

}  // namespace pv::comm
