#pragma once
// The byte pipe under CSerial. CSerial knows Modbus timing and CRC; a Port only moves bytes, the
// way a transport backend does in a Modbus library: one implementation per kind of wire.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace pv::serial {

// Every wait on a link ends at an instant on the monotonic clock, never after a span counted
// from whenever the wait happened to start.
using Deadline = std::chrono::steady_clock::time_point;

struct LineSettings {
    int baud = 9600;
    int dataBits = 8;
    int parity = 0;  // 0 none, 1 odd, 2 even
    float stopBits = 2.0f;

    // Time one character takes on the wire: start bit, data bits, parity bit, stop bits.
    std::chrono::microseconds charTime() const {
        const double bits = 1 + dataBits + (parity != 0 ? 1 : 0) + stopBits;
        return std::chrono::microseconds(static_cast<long long>(bits * 1e6 / baud + 0.5));
    }
};

class Port {
public:
    virtual ~Port() = default;
    // Writes all bytes; false when the wire is gone.
    virtual bool send(const std::uint8_t* data, std::size_t len) = 0;
    // Waits until `deadline` at the latest for at least one byte, then returns what is available
    // (at most max). The deadline is absolute, so that time spent before the call counts against
    // it; one already past only takes what has arrived. Returns 0 on time-out, -1 when the wire
    // is gone.
    virtual long recv(std::uint8_t* data, std::size_t max, Deadline deadline) = 0;
    // When the bytes the last recv returned had arrived, as closely as this port can tell (at
    // the latest, when recv saw them): the silence after a frame counts from there, not from
    // whenever this thread got to run again.
    virtual Deadline arrivedAt() const = 0;
    // Drops every byte received and not yet read.
    virtual void flushInput() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // True once the wire behind the port is gone (device unplugged, peer closed): every later
    // call fails until the port is opened again, so the link must be ended, not retried.
    virtual bool gone() const { return false; }
    // Human-readable reason of the last failure (for logs and the CLI).
    virtual std::string lastFailure() const { return {}; }
};

}  // namespace pv::serial
