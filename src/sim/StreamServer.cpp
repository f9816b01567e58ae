#include "sim/StreamServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <deque>
#include <thread>

#include "serial/FdPort.h"
#include "serial/Wakeup.h"

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

StreamServer::StreamServer(StreamPeer& bus, StreamOptions options)
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

StreamEnd serveStream(int fd, StreamPeer& bus, const StreamOptions& options,
                      const std::atomic<bool>& stop, bool hangupIsIdle) {
    // The drive's turnaround and the reply's character times are kept to the microsecond.
    serial::preciseWakeups();
    RequestFramer framer(options.lengthFraming);
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

    // `ended`: when the drive knew the request was over, which its reply times count from.
    auto process = [&](const RequestFramer::Frame& frame, Clock::time_point ended) {
        refreshLine();
        auto floor = ended;
        for (auto& c : bus.onFrame(frame)) {
            // Chunks of one reply leave in their order; a reply still held back from an earlier
            // request keeps its own time, as it would on the wire.
            const auto due = std::max(floor, ended + c.delay);
            floor = due;
            out.insert(std::upper_bound(out.begin(), out.end(), due,
                                        [](auto d, const Scheduled& x) { return d < x.due; }),
                       {due, std::move(c.bytes)});
        }
    };
    // A request complete by its length is over with its last byte: a drive answers it without
    // waiting for the silence after it.
    auto processComplete = [&] {
        while (auto frame = framer.takeComplete()) process(*frame, framer.lastByte());
    };

    // The slave side of a pseudo-terminal has no user. A request that came in whole before its
    // sender closed the line has been carried out already, as a drive on a real wire would (a
    // broadcast is written and the port closed at once); only a half frame is dropped.
    auto senderLeft = [&] {
        framer.clear();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };

    std::uint8_t buf[512];
    while (!stop.load()) {
        // Every wake-up is an instant: the end of a frame by silence (from its last byte), the
        // due time of the next reply, or a look at `stop`.
        auto wake = std::min(Clock::now() + std::chrono::milliseconds(50),
                             framer.silenceEnd(silence));
        if (!out.empty()) wake = std::min(wake, out.front().due);
        short revents = 0;
        const int r = serial::WaitFd(fd, POLLIN, wake, revents);
        if (r < 0) return StreamEnd::Closed;
        if (r > 0 && (revents & POLLIN)) {
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0) {
                framer.add(buf, static_cast<std::size_t>(n), Clock::now());
                processComplete();
            } else if (n == 0 && !hangupIsIdle) {
                return StreamEnd::Closed;
            } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
                if (!hangupIsIdle) return StreamEnd::Closed;
                senderLeft();
            }
        } else if (r > 0 && (revents & (POLLHUP | POLLERR))) {
            if (!hangupIsIdle) return StreamEnd::Closed;
            senderLeft();
        }
        // Anything else ends by silence; the drive only knows it is over once the silence has
        // passed.
        if (const auto now = Clock::now(); now >= framer.silenceEnd(silence))
            process(framer.takeAll(), now);
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
