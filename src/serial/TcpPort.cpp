#include "serial/TcpPort.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace pv::serial {

TcpPort::~TcpPort() {
    close();
}

bool TcpPort::open(std::uint32_t addressBe, std::uint16_t port,
                   std::chrono::milliseconds connectTimeout) {
    close();
    gone_ = false;
    failure_.clear();
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd_ < 0) {
        failure_ = std::string("socket: ") + std::strerror(errno);
        return false;
    }
    const int one = 1;
    // Frames are small and each waits for an answer: never hold one back to batch it.
    ::setsockopt(fd_, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);

    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(port);
    sa.sin_addr.s_addr = addressBe;
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &sa.sin_addr, text, sizeof text);
    const std::string where = std::string(text) + ":" + std::to_string(port);

    int r = ::connect(fd_, reinterpret_cast<const sockaddr*>(&sa), sizeof sa);
    if (r != 0 && errno == EINPROGRESS) {
        short revents = 0;
        r = WaitFd(fd_, POLLOUT, std::chrono::steady_clock::now() + connectTimeout, revents);
        if (r == 0) {
            errno = ETIMEDOUT;
            r = -1;
        } else if (r > 0) {
            int err = 0;
            socklen_t len = sizeof err;
            ::getsockopt(fd_, SOL_SOCKET, SO_ERROR, &err, &len);
            errno = err;
            r = err == 0 ? 0 : -1;
        }
    }
    if (r != 0) {
        failure_ = where + ": " + std::strerror(errno);
        ::close(fd_);
        fd_ = -1;
        return false;
    }
    return true;
}

bool TcpPort::send(const std::uint8_t* data, std::size_t len) {
    if (fd_ < 0 || gone_) return false;
    const std::string why = WriteAllFd(
        fd_, data, len,
        [](int fd, const std::uint8_t* d, std::size_t n) { return ::send(fd, d, n, MSG_NOSIGNAL); },
        "connection stalled");
    if (why.empty()) return true;
    gone_ = true;
    failure_ = "send: " + why;
    return false;
}

long TcpPort::recv(std::uint8_t* data, std::size_t max, Deadline deadline) {
    if (fd_ < 0 || gone_) return -1;
    short revents = 0;
    const int r = WaitFd(fd_, POLLIN, deadline, revents);
    arrivedAt_ = std::chrono::steady_clock::now();
    if (r == 0) return 0;
    if (r > 0 && (revents & (POLLIN | POLLHUP | POLLERR))) {
        const ssize_t n = ::recv(fd_, data, max, MSG_DONTWAIT);
        if (n > 0) return n;
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
        failure_ = n == 0 ? "the adapter closed the connection"
                          : std::string("recv: ") + std::strerror(errno);
    } else {
        failure_ = std::string("poll: ") + std::strerror(errno);
    }
    gone_ = true;
    return -1;
}

void TcpPort::flushInput() {
    if (fd_ < 0 || gone_) return;
    std::uint8_t junk[512];
    for (;;) {
        const ssize_t n = ::recv(fd_, junk, sizeof junk, MSG_DONTWAIT);
        if (n > 0) continue;
        if (n == 0) gone_ = true;  // the peer closed; the next transaction reports it
        return;
    }
}

void TcpPort::close() {
    if (fd_ < 0) return;
    ::close(fd_);
    fd_ = -1;
}

}  // namespace pv::serial
