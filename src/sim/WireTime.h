#pragma once
// How long a transaction takes on a real RS-485 line, so that benchmarks against the virtual
// drive measure what a wire would allow and not what memory allows. The master hands a request
// over instantly in-process; the reply may only be complete once the request's characters, the
// drive's turnaround and the reply's characters have all passed at the line's baud rate.

#include <chrono>
#include <cstddef>

namespace pv::sim {

struct LineFormat {
    int dataBits = 8;
    int parity = 0;  // 0 none, 1 odd, 2 even
    float stopBits = 2.0f;
    // Start bit + data bits + parity bit + stop bits: 11 for 8N2, 10 for 8N1.
    double bitsPerChar() const { return 1.0 + dataBits + (parity != 0 ? 1 : 0) + stopBits; }
};

class WireTime {
public:
    // baud 0 leaves out the character times (only the turnaround remains).
    void set(int baud, std::chrono::microseconds turnaround) {
        baud_ = baud > 0 ? baud : 0;
        turnaround_ = turnaround;
    }
    void disable() { set(0, std::chrono::microseconds(0)); }
    void setFormat(const LineFormat& f) { format_ = f; }

    bool enabled() const { return baud_ > 0 || turnaround_.count() > 0; }
    int baud() const { return baud_; }
    std::chrono::microseconds turnaround() const { return turnaround_; }
    const LineFormat& format() const { return format_; }

    // The time `chars` characters take on the line, rounded once to the microsecond.
    std::chrono::microseconds charsTime(std::size_t chars) const;
    // From the end of the master's send to the moment the reply's first `replyBytes` bytes
    // have all arrived: request characters + turnaround + reply characters.
    std::chrono::microseconds replyDelay(std::size_t requestBytes, std::size_t replyBytes) const;

private:
    int baud_ = 0;
    std::chrono::microseconds turnaround_{0};
    LineFormat format_;
};

}  // namespace pv::sim
