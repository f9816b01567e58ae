#include "sim/RequestFramer.h"

#include <algorithm>

#include "serial/Crc16.h"

namespace pv::sim {

namespace {
// The rest of a stream frame whose header has come may follow in a later segment.
constexpr std::chrono::microseconds kStreamPatience(500000);
// No drive has this address (stations end at 247): it starts the copy module's frames.
constexpr std::uint8_t kCopyModuleStart = 0xFA;
}  // namespace

std::size_t expectedRequestLength(const std::uint8_t* bytes, std::size_t size) {
    if (size < 2) return 0;
    // The copy module's frames: 0xFA, storage group, function (command, read or write).
    if (bytes[0] == kCopyModuleStart) {
        if (size < 3) return 0;
        if (bytes[2] == 0x08 || bytes[2] == 0x03) return 9;
        if (bytes[2] == 0x10) return size < 8 ? 0 : 10u + bytes[7];
        return 0;
    }
    switch (bytes[1]) {
        case 3:
        case 6:
            return 8;
        case 16:
            return size < 7 ? 0 : 9u + bytes[6];
        default:
            return 0;
    }
}

bool RequestFramer::completeAt(std::size_t offset) const {
    const std::uint8_t* p = pending_.data() + offset;
    const std::size_t size = pending_.size() - offset;
    const std::size_t want = expectedRequestLength(p, size);
    if (want == 0 || size < want) return false;
    return stream_ || serial::frameCrcOk(p, want);
}

std::optional<std::size_t> RequestFramer::completeRequestAt(std::size_t from) const {
    for (std::size_t k = from; k < pending_.size(); ++k) {
        // Only a request with a good CRC proves where a frame starts inside noise.
        const std::size_t want = expectedRequestLength(pending_.data() + k, pending_.size() - k);
        if (want != 0 && pending_.size() - k >= want &&
            serial::frameCrcOk(pending_.data() + k, want))
            return k;
    }
    return std::nullopt;
}

void RequestFramer::add(const std::uint8_t* data, std::size_t size, Clock::time_point at) {
    if (size == 0) return;
    pending_.insert(pending_.end(), data, data + size);
    lastByte_ = at;
}

void RequestFramer::resynchronise() {
    // A client that never pauses never ends a frame by silence. Take up again at a whole
    // request among the bytes, so that one sent right behind the flood is still answered, or
    // else keep only the newest bytes: the start of a request may be among them.
    std::size_t drop = pending_.size() - kMaxPending;
    if (const auto start = completeRequestAt(1)) drop = *start;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(drop));
    dropped_ += drop;
}

std::optional<RequestFramer::Frame> RequestFramer::takeComplete() {
    if (!completeAt(0) && pending_.size() > kMaxPending) resynchronise();
    if (!completeAt(0)) return std::nullopt;
    const std::size_t want = expectedRequestLength(pending_);
    Frame frame(pending_.begin(), pending_.begin() + static_cast<long>(want));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<long>(want));
    return frame;
}

RequestFramer::Clock::time_point RequestFramer::silenceEnd(
    std::chrono::microseconds silence) const {
    if (pending_.empty()) return Clock::time_point::max();
    // Over a stream a frame of known layout waits for its rest.
    if (stream_ && pending_.size() >= 2 &&
        (pending_[1] == 3 || pending_[1] == 6 || pending_[1] == 16))
        silence = std::max(silence, std::chrono::duration_cast<std::chrono::microseconds>(
                                        kStreamPatience));
    return lastByte_ + silence;
}

RequestFramer::Frame RequestFramer::takeAll() {
    Frame frame;
    frame.swap(pending_);
    return frame;
}

}  // namespace pv::sim
