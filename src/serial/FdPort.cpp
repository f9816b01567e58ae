#include "serial/FdPort.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace pv::serial {

int WaitFd(int fd, short events, Deadline deadline, short& revents) {
    pollfd p{fd, events, 0};
    int r;
    do {
        // The rest is taken from the deadline right before each wait, so neither the work done
        // before the call nor an interruption stretches it.
        const auto left = std::max(std::chrono::nanoseconds(0),
                                   std::chrono::duration_cast<std::chrono::nanoseconds>(
                                       deadline - std::chrono::steady_clock::now()));
        const timespec ts{static_cast<time_t>(left.count() / 1000000000),
                          static_cast<long>(left.count() % 1000000000)};
        r = ::ppoll(&p, 1, &ts, nullptr);
    } while (r < 0 && errno == EINTR);
    revents = p.revents;
    return r;
}

std::string WriteAllFd(int fd, const std::uint8_t* data, std::size_t len, WriteSomeFn writeSome,
                       const char* stalled) {
    std::size_t done = 0;
    while (done < len) {
        const ssize_t n = writeSome(fd, data + done, len - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{fd, POLLOUT, 0};
            const int r = ::poll(&p, 1, 1000);
            if (r > 0 && !(p.revents & (POLLERR | POLLHUP | POLLNVAL))) continue;
            if (r < 0 && errno == EINTR) continue;
        }
        return n < 0 ? std::strerror(errno) : stalled;
    }
    return {};
}

}  // namespace pv::serial
