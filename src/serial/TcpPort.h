#pragma once
// Modbus RTU frames carried over a TCP stream to a drive's network adapter: the adapter puts the
// bytes on its RS-485 side unchanged, so framing, CRC and timing stay those of the serial line.

#include <chrono>
#include <cstdint>
#include <string>

#include "serial/FdPort.h"

namespace pv::serial {

class TcpPort : public FdPort {
public:
    TcpPort() = default;
    ~TcpPort() override;

    // Connects to an IPv4 address (network byte order) and port, giving up after
    // `connectTimeout` so that an adapter that is switched off cannot freeze the program.
    bool open(std::uint32_t addressBe, std::uint16_t port,
              std::chrono::milliseconds connectTimeout);

    bool send(const std::uint8_t* data, std::size_t len) override;
    long recv(std::uint8_t* data, std::size_t max, Deadline deadline) override;
    void flushInput() override;
    void close() override;
};

}  // namespace pv::serial
