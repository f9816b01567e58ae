#pragma once
// Serving a virtual bus over a byte stream (a pseudo-terminal's master side, or a TCP client):
// bytes are gathered into request frames (a bounded number of them waits for a frame's end), each frame goes to the bus, and the reply chunks are
// written back at the times the bus asks for, also when the master has moved on to its next
// request (a late reply then lands in that transaction, as on a wire).

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <thread>
#include <vector>

#include "sim/RequestFramer.h"
#include "sim/StreamPeer.h"
#include "sim/VirtualBus.h"
#include "sim/WireTime.h"

namespace pv::sim {

// Line settings as the master set them (for a pseudo-terminal: its termios).
struct LineState {
    int baud = 9600;
    LineFormat format;
};

struct StreamOptions {
    // A request of known layout (functions 3, 6 and 16) ends as soon as its length is complete
    // with a good CRC; anything else after 3.5 character times of silence at this line (never
    // less than 1.75 ms).
    LineState line;
    // The bytes come over TCP in segments whose gaps say nothing about frame boundaries: a frame
    // of known layout ends at its length whatever its CRC, and waits long for its rest.
    bool lengthFraming = false;
    // Emulate the wire's character times at the line's baud rate (else the turnaround only).
    bool wireTime = false;
    std::chrono::microseconds turnaround{0};
    // Called before each frame is judged; returns the master's current line settings.
    std::function<std::optional<LineState>()> currentLine;
};

// The silence that ends a request frame.
std::chrono::microseconds frameSilence(const LineState& line);

enum class StreamEnd { Stopped, Closed };

// Serves one stream until `stop` is set or the peer closes it. `hangupIsIdle`: a pseudo-terminal
// whose slave side is closed is waiting for its next user, not finished.
StreamEnd serveStream(int fd, StreamPeer& bus, const StreamOptions& options,
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
    StreamServer(StreamPeer& bus, StreamOptions options);

    StreamPeer& bus_;
    StreamOptions options_;

private:
    std::atomic<bool> stopFlag_{false};
    std::thread thread_;
};

}  // namespace pv::sim
