#pragma once
// A small Modbus slave behind the virtual wire for transport tests: register r holds the value
// r + 1, writes are echoed, and the next reply can be spoiled in one of the ways a real line
// spoils them.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "serial/CSerial.h"
#include "serial/Crc16.h"
#include "serial/VirtualPeer.h"

namespace pv::serial::test {

enum class Spoil {
    None,
    Drop,           // silence
    BadCrc,         // CRC bytes inverted
    WrongFunction,  // function code + 1, valid CRC
    WrongStation,   // station + 1, valid CRC
    Exception,      // exception reply, code 2
    Truncated,      // first half of the reply, then silence
    Garbage,        // as many noise bytes as the reply
    ShortGarbage,   // three noise bytes
    Delay,          // the reply `delay` after the request
    Doubled,        // the reply sent twice back to back
};

inline void appendCrc(std::vector<std::uint8_t>& f) {
    const std::uint16_t c = crc16(f.data(), f.size());
    f.push_back(static_cast<std::uint8_t>(c & 0xFF));
    f.push_back(static_cast<std::uint8_t>(c >> 8));
}

// A function-03 request for `count` registers from `reg`.
inline std::vector<std::uint8_t> readRequest(int station, int reg, int count) {
    std::vector<std::uint8_t> f = {
        static_cast<std::uint8_t>(station),    0x03, static_cast<std::uint8_t>(reg >> 8),
        static_cast<std::uint8_t>(reg & 0xFF), 0,    static_cast<std::uint8_t>(count)};
    appendCrc(f);
    return f;
}

// One read transaction of station 1 on `link`; `reply` is sized for the full answer.
inline ErrType readRegs(CSerial& link, int reg, int count, std::vector<std::uint8_t>& reply) {
    const auto req = readRequest(1, reg, count);
    reply.assign(5 + 2 * count, 0);
    return link.CommandSend(req.data(), req.size(), reply.data(), reply.size());
}

class TestPeer : public VirtualPeer {
public:
    struct Plan {
        Spoil spoil = Spoil::None;
        std::chrono::microseconds delay{0};
    };

    // Plans for the next replies, in order; when none is queued the reply is clean and prompt.
    void queue(Spoil s, std::chrono::microseconds delay = std::chrono::microseconds(0)) {
        std::lock_guard lock(mutex_);
        plans_.push_back({s, delay});
    }
    void unplug() { connected_ = false; }
    int frames() const { return frames_; }
    std::vector<std::uint8_t> lastFrame() const {
        std::lock_guard lock(mutex_);
        return last_;
    }

    static std::vector<std::uint8_t> replyFor(const std::vector<std::uint8_t>& req) {
        std::vector<std::uint8_t> r;
        if (req.size() < 8 || !frameCrcOk(req.data(), req.size())) return r;
        if (req[1] == 0x03) {
            const int first = req[2] * 256 + req[3];
            const int count = req[4] * 256 + req[5];
            r = {req[0], 0x03, static_cast<std::uint8_t>(2 * count)};
            for (int k = 0; k < count; ++k) {
                const int v = (first + k + 1) & 0xFFFF;
                r.push_back(static_cast<std::uint8_t>(v >> 8));
                r.push_back(static_cast<std::uint8_t>(v & 0xFF));
            }
        } else if (req[1] == 0x06 || req[1] == 0x10) {
            r.assign(req.begin(), req.begin() + 6);
        } else {
            r = {req[0], static_cast<std::uint8_t>(req[1] | 0x80), 1};
        }
        appendCrc(r);
        return r;
    }

    // The clean reply `r` to `frame` spoilt as `s` says; empty for silence (a Delay is the
    // sender's business).
    static std::vector<std::uint8_t> spoilt(const std::vector<std::uint8_t>& frame,
                                            std::vector<std::uint8_t> r, Spoil s) {
        switch (s) {
            case Spoil::None:
            case Spoil::Delay:
                break;
            case Spoil::Drop:
                return {};
            case Spoil::BadCrc:
                r[r.size() - 1] ^= 0xFF;
                break;
            case Spoil::WrongFunction:
                r.resize(r.size() - 2);
                r[1] = static_cast<std::uint8_t>(r[1] + 1);
                appendCrc(r);
                break;
            case Spoil::WrongStation:
                r.resize(r.size() - 2);
                r[0] = static_cast<std::uint8_t>(r[0] + 1);
                appendCrc(r);
                break;
            case Spoil::Exception:
                r = {frame[0], static_cast<std::uint8_t>(frame[1] | 0x80), 2};
                appendCrc(r);
                break;
            case Spoil::Truncated:
                r.resize(r.size() / 2);
                break;
            case Spoil::Garbage:
                for (std::size_t i = 0; i < r.size(); ++i)
                    r[i] = static_cast<std::uint8_t>(0x5A + 7 * i);
                break;
            case Spoil::ShortGarbage:
                r = {0x11, 0x22, 0x33};
                break;
            case Spoil::Doubled: {
                auto twice = r;
                twice.insert(twice.end(), r.begin(), r.end());
                r = twice;
                break;
            }
        }
        return r;
    }

    std::vector<ReplyChunk> onFrame(const std::vector<std::uint8_t>& frame) override {
        Plan plan;
        {
            std::lock_guard lock(mutex_);
            last_ = frame;
            if (!plans_.empty()) {
                plan = plans_.front();
                plans_.pop_front();
            }
        }
        ++frames_;
        if (frame.empty() || frame[0] == 0) return {};  // broadcast: nobody answers
        if (plan.spoil == Spoil::Drop) return {};
        return {ReplyChunk{plan.delay, spoilt(frame, replyFor(frame), plan.spoil)}};
    }
    bool connected() const override { return connected_; }

private:
    mutable std::mutex mutex_;
    std::deque<Plan> plans_;
    std::vector<std::uint8_t> last_;
    std::atomic<bool> connected_{true};
    std::atomic<int> frames_{0};
};

}  // namespace pv::serial::test
