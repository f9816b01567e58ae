#pragma once
// Serving a virtual bus over a byte stream (a pseudo-terminal's master side, or a TCP client):
// bytes are gathered into request frames, each frame goes to the bus, and the reply chunks are
// written back at the times the bus asks for, also when the master has moved on to its next
// request (a late reply then lands in that transaction, as on a wire).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "sim/VirtualBus.h"
#include "sim/WireTime.h"

namespace pv::sim {

// Line settings as the master set them (for a pseudo-terminal: its termios).
struct LineState {
    int baud = 9600;
    LineFormat format;
};

struct StreamOptions {
    // A frame ends after 3.5 character times of silence at this line (never less than 1.75 ms).
    LineState line;
    // Also end a frame as soon as its own length is complete (functions 3, 6 and 16): streams
    // over TCP arrive in segments whose gaps say nothing about frame boundaries.
    bool lengthFraming = false;
    // Emulate the wire's character times at the line's baud rate (else the turnaround only).
    bool wireTime = false;
    std::chrono::microseconds turnaround{0};
    // Called before each frame is judged; returns the master's current line settings.
    std::function<std::optional<LineState>()> currentLine;
};

// The silence that ends a request frame.
std::chrono::microseconds frameSilence(const LineState& line);

// Length of a request frame judged from its first bytes; 0 while it cannot be told yet (or for
// a function whose layout the drive does not know, which then ends by silence).
std::size_t expectedRequestLength(const std::vector<std::uint8_t>& bytes);

enum class StreamEnd { Stopped, Closed };

// Serves one stream until `stop` is set or the peer closes it. `hangupIsIdle`: a pseudo-terminal
// whose slave side is closed is waiting for its next user, not finished.
StreamEnd serveStream(int fd, VirtualBus& bus, const StreamOptions& options,
                      const std::atomic<bool>& stop, bool hangupIsIdle);

// What the pseudo-terminal and the TCP server share: the bus and the options they serve it
// with, and a thread of their own that serves until stopped.
class StreamServer {
public:
    // A subclass calls stop() in its own destructor, before it closes what run() uses.
    virtual ~StreamServer();
    StreamServer(const StreamServer&) = delete;
    StreamServer& operator=(const StreamServer&) = delete;

    // Serves until `stop` is set.
    virtual void run(const std::atomic<bool>& stop) = 0;
    // Or in a thread of its own until stop() or destruction.
    void start();
    void stop();

protected:
    StreamServer(VirtualBus& bus, StreamOptions options);

    VirtualBus& bus_;
    StreamOptions options_;

private:
    std::atomic<bool> stopFlag_{false};
    std::thread thread_;
};

}  // namespace pv::sim
