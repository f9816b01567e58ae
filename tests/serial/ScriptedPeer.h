#pragma once
// Peers that answer a request with a script: the reply in pieces with pauses between them, or a
// babble that never stops. The same script plays over the virtual wire and over a real byte
// stream (pseudo-terminal master, accepted TCP socket), so that one table covers every wire.

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "TestPeer.h"

namespace pv::serial::test {

struct Piece {
    std::chrono::microseconds pause{0};  // before these bytes, after the previous ones
    std::vector<std::uint8_t> bytes;
};

struct Script {
    std::vector<Piece> pieces;
    // After the pieces: `babble` noise bytes, the first right behind the last piece (in the
    // same write, so that no busy machine can slip a silence in between), then one every
    // millisecond.
    int babble = 0;
};

// The clean reply to `request`, cut after `at` bytes with `pause` of silence in between.
inline Script pausedReply(const std::vector<std::uint8_t>& request, std::size_t at,
                          std::chrono::microseconds pause) {
    const auto reply = TestPeer::replyFor(request);
    Script s;
    s.pieces.push_back({{}, {reply.begin(), reply.begin() + static_cast<long>(at)}});
    s.pieces.push_back({pause, {reply.begin() + static_cast<long>(at), reply.end()}});
    return s;
}

inline std::uint8_t noiseByte(int k) {
    return static_cast<std::uint8_t>(0x37 * k + 0x11);
}

// Over the virtual wire: every piece becomes a chunk due at its cumulative time.
class ScriptedVirtualPeer : public VirtualPeer {
public:
    explicit ScriptedVirtualPeer(Script s) : script_(std::move(s)) {}
    std::vector<ReplyChunk> onFrame(const std::vector<std::uint8_t>&) override {
        const auto sentAt = std::chrono::steady_clock::now();
        std::vector<ReplyChunk> out;
        std::chrono::microseconds at{0};
        for (const auto& p : script_.pieces) {
            at += p.pause;
            out.push_back({at, p.bytes});
        }
        for (int k = 0; k < script_.babble; ++k) {
            if (k > 0) at += std::chrono::milliseconds(1);
            out.push_back({at, {noiseByte(k)}});
        }
        scriptEnd_ = sentAt + at;
        return out;
    }
    bool connected() const override { return true; }
    // When the last byte of the script is due.
    std::chrono::steady_clock::time_point scriptEnd() const { return scriptEnd_; }

private:
    Script script_;
    std::chrono::steady_clock::time_point scriptEnd_{};
};

// Over a descriptor: a thread waits for one whole request (a frame with a good CRC), then plays
// the script. `finished` lets a test see whether the peer was done when the master gave up.
class ScriptedFdPeer {
public:
    ScriptedFdPeer(int fd, Script s)
        : fd_(fd), script_(std::move(s)) {
        // A babble nobody reads must not block the peer's writes (and its end).
        ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) | O_NONBLOCK);
        thread_ = std::thread([this] { run(); });
    }
    ~ScriptedFdPeer() {
        stop_ = true;
        thread_.join();
    }
    bool finished() const { return finished_; }

private:
    void put(const std::vector<std::uint8_t>& bytes) {
        if (!bytes.empty()) (void)!::write(fd_, bytes.data(), bytes.size());
    }
    // Pauses belong to the script: the peer keeps the time a slow device would take.
    void pause(std::chrono::microseconds d) {
        if (d.count() > 0) std::this_thread::sleep_for(d);
    }
    void run() {
        std::vector<std::uint8_t> pending;
        while (!stop_) {
            pollfd p{fd_, POLLIN, 0};
            if (::poll(&p, 1, 20) <= 0 || !(p.revents & POLLIN)) continue;
            std::uint8_t buf[256];
            const ssize_t n = ::read(fd_, buf, sizeof buf);
            if (n <= 0) break;
            pending.insert(pending.end(), buf, buf + n);
            if (pending.size() >= 8 && frameCrcOk(pending.data(), pending.size())) break;
        }
        for (std::size_t i = 0; i < script_.pieces.size() && !stop_; ++i) {
            pause(script_.pieces[i].pause);
            auto bytes = script_.pieces[i].bytes;
            if (i + 1 == script_.pieces.size() && script_.babble > 0) bytes.push_back(noiseByte(0));
            put(bytes);
        }
        for (int k = script_.pieces.empty() ? 0 : 1; k < script_.babble && !stop_; ++k) {
            if (k > 0) pause(std::chrono::milliseconds(1));
            put({noiseByte(k)});
        }
        finished_ = true;
    }

    int fd_;
    Script script_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

}  // namespace pv::serial::test
