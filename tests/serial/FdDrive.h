#pragma once
// The drive end of a real byte stream (pty master or accepted TCP socket), served by a thread:
// it collects request frames and answers them as TestPeer would.

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

#include "TestPeer.h"

namespace pv::serial::test {

class FdDrive {
public:
    explicit FdDrive(int fd) : fd_(fd), thread_([this] { run(); }) {}
    ~FdDrive() {
        stop_ = true;
        thread_.join();
    }

private:
    void run() {
        std::vector<std::uint8_t> pending;
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0) continue;
            if (!(p.revents & POLLIN)) {
                if (p.revents & (POLLHUP | POLLERR)) return;  // the master closed its end
                continue;
            }
            std::uint8_t buf[256];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) return;
            pending.insert(pending.end(), buf, buf + n);
            if (pending.size() < 8 || !frameCrcOk(pending.data(), pending.size())) continue;
            const auto reply = TestPeer::replyFor(pending);
            pending.clear();
            if (!reply.empty() && ::write(fd_, reply.data(), reply.size()) < 0) return;
        }
    }

    int fd_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace pv::serial::test
