#include "sim/StreamServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <deque>
#include <thread>

#include "serial/Crc16.h"

namespace pv::sim {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;

struct Scheduled {
    Clock::time_point due;
    std::vector<std::uint8_t> bytes;
};

bool writeAll(int fd, const std::vector<std::uint8_t>& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        // A client that left must not take the server down with SIGPIPE.
        ssize_t n = ::send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
        if (n < 0 && errno == ENOTSOCK) n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::chrono::microseconds frameSilence(const LineState& line) {
    const double us = line.baud > 0 ? 3.5 * line.format.bitsPerChar() * 1e6 / line.baud : 0.0;
    return std::max(microseconds(std::llround(us)), microseconds(1750));
}

std::size_t expectedRequestLength(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < 2) return 0;
    switch (bytes[1]) {
        case 3:
        case 6:
            return 8;
        case 16:
            return bytes.size() < 7 ? 0 : 9u + bytes[6];
        default:
            return 0;
    }
}

StreamServer::StreamServer(VirtualBus& bus, StreamOptions options)
    : bus_(bus), options_(std::move(options)) {}

StreamServer::~StreamServer() {
    stop();
}

void StreamServer::start() {
    stopFlag_ = false;
    thread_ = std::thread([this] { run(stopFlag_); });
}

void StreamServer::stop() {
    stopFlag_ = true;
    if (thread_.joinable()) thread_.join();
}

StreamEnd serveStream(int fd, VirtualBus& bus, const StreamOptions& options,
                      const std::atomic<bool>& stop, bool hangupIsIdle) {
    std::vector<std::uint8_t> pending;
    Clock::time_point lastByte{};
    std::deque<Scheduled> out;
    LineState line = options.line;
    microseconds silence = frameSilence(line);

    auto refreshLine = [&] {
        if (!options.currentLine) return;
        if (const auto now = options.currentLine()) {
            line = *now;
            silence = frameSilence(line);
        }
        bus.onOpen(line.baud, line.format.dataBits, line.format.parity, line.format.stopBits);
        bus.setWireTime(options.wireTime ? line.baud : 0, options.turnaround);
    };
    refreshLine();

    // A stream frame whose length its header will tell waits that long for its rest.
    constexpr microseconds kStreamPatience(500000);
    auto endsBySilence = [&] {
        if (!options.lengthFraming || pending.size() < 2) return silence;
        const std::uint8_t f = pending[1];
        return f == 3 || f == 6 || f == 16 ? std::max(silence, kStreamPatience) : silence;
    };

    auto process = [&](std::size_t length) {
        length = std::min(length, pending.size());
        std::vector<std::uint8_t> frame(pending.begin(),
                                        pending.begin() + static_cast<long>(length));
        pending.erase(pending.begin(), pending.begin() + static_cast<long>(length));
        refreshLine();
        const auto t0 = Clock::now();
        auto floor = t0;
        for (auto& c : bus.onFrame(frame)) {
            // Chunks of one reply leave in their order; a reply still held back from an earlier
            // request keeps its own time, as it would on the wire.
            const auto due = std::max(floor, t0 + c.delay);
            floor = due;
            out.insert(std::upper_bound(out.begin(), out.end(), due,
                                        [](auto d, const Scheduled& x) { return d < x.due; }),
                       {due, std::move(c.bytes)});
        }
    };

    // The slave side of a pseudo-terminal has no user. A request that came in whole before its
    // sender closed the line is still carried out, as a drive on a real wire would (a broadcast
    // is written and the port closed at once); only a half frame is dropped.
    auto senderLeft = [&] {
        const std::size_t want = expectedRequestLength(pending);
        if (want != 0 && pending.size() >= want) process(want);
        pending.clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };

    std::uint8_t buf[512];
    while (!stop.load()) {
        auto now = Clock::now();
        microseconds wait(50000);  // look at `stop` at least this often
        if (!pending.empty())
            wait = std::min(
                wait, std::chrono::duration_cast<microseconds>(lastByte + endsBySilence() - now));
        if (!out.empty())
            wait = std::min(wait, std::chrono::duration_cast<microseconds>(out.front().due - now));
        wait = std::max(wait, microseconds(0));
        timespec ts{static_cast<time_t>(wait.count() / 1000000),
                    static_cast<long>(wait.count() % 1000000) * 1000};
        pollfd p{fd, POLLIN, 0};
        const int r = ::ppoll(&p, 1, &ts, nullptr);
        if (r < 0 && errno != EINTR) return StreamEnd::Closed;
        if (r > 0 && (p.revents & POLLIN)) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) {
                pending.insert(pending.end(), buf, buf + n);
                lastByte = Clock::now();
                while (options.lengthFraming) {
                    const std::size_t want = expectedRequestLength(pending);
                    if (want == 0 || pending.size() < want) break;
                    process(want);
                }
                // On a pseudo-terminal the silence between two frames is only seen if this
                // thread reads in time. One that ran late (a busy machine) finds the next
                // request already behind a finished one: a whole request with a good CRC that
                // more bytes follow was a frame of its own.
                while (!options.lengthFraming) {
                    const std::size_t want = expectedRequestLength(pending);
                    if (want == 0 || pending.size() <= want ||
                        !serial::frameCrcOk(pending.data(), want))
                        break;
                    process(want);
                }
            } else if (n == 0 && !hangupIsIdle) {
                return StreamEnd::Closed;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                if (!hangupIsIdle) return StreamEnd::Closed;
                senderLeft();
            }
        } else if (r > 0 && (p.revents & (POLLHUP | POLLERR))) {
            if (!hangupIsIdle) return StreamEnd::Closed;
            senderLeft();
        }
        now = Clock::now();
        if (!pending.empty() && now - lastByte >= endsBySilence()) process(pending.size());
        // An unplugged wire over TCP is a dropped connection; the next client finds the bus
        // plugged in again. A pseudo-terminal just stays silent.
        if (!hangupIsIdle && !bus.connected()) {
            bus.setConnected(true);
            return StreamEnd::Closed;
        }
        while (!out.empty() && out.front().due <= Clock::now()) {
            // A reader that went away loses its replies; the bus keeps serving.
            writeAll(fd, out.front().bytes);
            out.pop_front();
        }
    }
    return StreamEnd::Stopped;
}

}  // namespace pv::sim
