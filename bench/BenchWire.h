#pragma once
// What the transfer benchmarks share: a bus of virtual drives that counts the characters of every
// request and reply that crossed the wire.
#include <mutex>
#include <utility>
#include <vector>

#include "sim/VirtualBus.h"

namespace pv::bench {

// Counts the characters of every request and reply that crossed the wire, whichever way the
// bus is reached: the in-process wire and the pseudo-terminal's server both hand it each frame.
class CountingBus : public pv::sim::VirtualBus {
public:
    using VirtualBus::VirtualBus;
    std::vector<pv::serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& f) override {
        auto chunks = VirtualBus::onFrame(f);
        std::lock_guard lock(mutex_);
        ++transactions_;
        chars_ += static_cast<long>(f.size());
        for (const auto& c : chunks) chars_ += static_cast<long>(c.bytes.size());
        return chunks;
    }
    void reset() {
        std::lock_guard lock(mutex_);
        transactions_ = 0;
        chars_ = 0;
    }
    std::pair<long, long> counts() {
        std::lock_guard lock(mutex_);
        return {transactions_, chars_};
    }

private:
    std::mutex mutex_;
    long transactions_ = 0;
    long chars_ = 0;
};

}  // namespace pv::bench
