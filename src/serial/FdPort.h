#pragma once
// The waiting and partial writes every descriptor-backed port does alike, whatever the wire
// behind the descriptor: a serial device and a TCP socket differ only in how they name a loss.

#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "serial/Port.h"

namespace pv::serial {

// Waits until `deadline` at the latest (one already past only looks) for `events` on `fd`; a
// signal that interrupts the wait does not move the deadline. Returns what poll returns: 0 on
// time-out, above 0 with `revents` set, below 0 with errno set.
int WaitFd(int fd, short events, Deadline deadline, short& revents);

// One write attempt on a descriptor: ::write for a device, ::send for a socket.
using WriteSomeFn = ssize_t (*)(int fd, const std::uint8_t* data, std::size_t len);

// Writes every byte of `data` to the non-blocking `fd`, waiting up to a second for room each
// time its output queue is full: a wire that cannot take a frame in that time is dead. Returns
// the empty string when all went, otherwise why not: the system's reason, or `stalled` when the
// descriptor took nothing.
std::string WriteAllFd(int fd, const std::uint8_t* data, std::size_t len, WriteSomeFn writeSome,
                       const char* stalled);

// What a port on one descriptor holds: the descriptor, whether the wire behind it is gone (every
// call then fails until it is opened again), and why.
class FdPort : public Port {
public:
    FdPort(const FdPort&) = delete;
    FdPort& operator=(const FdPort&) = delete;

    bool isOpen() const override { return fd_ >= 0; }
    bool gone() const override { return gone_; }
    std::string lastFailure() const override { return failure_; }
    Deadline arrivedAt() const override { return arrivedAt_; }

protected:
    FdPort() = default;

    int fd_ = -1;
    bool gone_ = false;
    std::string failure_;
    // Set by recv when the wait for input ends with input there.
    Deadline arrivedAt_{};
};

}  // namespace pv::serial
