#pragma once
// Gathering a stream's bytes into request frames, as a drive does on its line: a request whose
// layout the drive knows (functions 03, 06 and 16) is over as soon as its length is complete,
// and the drive answers it at once; anything else ends by the silence after it. Only a bounded
// number of bytes ever waits for the end of its frame.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace pv::sim {

// Length of a request frame judged from its first bytes; 0 while it cannot be told yet (or for
// a function whose layout the drive does not know, which then ends by silence).
std::size_t expectedRequestLength(const std::uint8_t* bytes, std::size_t size);
inline std::size_t expectedRequestLength(const std::vector<std::uint8_t>& bytes) {
    return expectedRequestLength(bytes.data(), bytes.size());
}

class RequestFramer {
public:
    using Clock = std::chrono::steady_clock;
    using Frame = std::vector<std::uint8_t>;

    // No request is longer (a function-16 frame carries at most 123 registers): more bytes
    // without a frame end are a flooding client, and the oldest of them are dropped.
    static constexpr std::size_t kMaxPending = 256;

    // `stream`: the bytes come over TCP in segments whose gaps say nothing about frame
    // boundaries. A frame of known layout then ends at its length whatever its CRC, and the
    // rest of one is awaited far longer than a line's silence. On a line (a pseudo-terminal) a
    // frame of known layout ends at its length only with a good CRC: a bad one may be
    // misframed noise, which ends by silence as a drive would see it.
    explicit RequestFramer(bool stream) : stream_(stream) {}

    // Bytes that arrived at `at`.
    void add(const std::uint8_t* data, std::size_t size, Clock::time_point at);
    // The next request that is complete by its length, if there is one. Taken until there is
    // none, no more than kMaxPending bytes remain.
    std::optional<Frame> takeComplete();
    // When the pending bytes end by silence (`silence` at this line); max() when none wait.
    Clock::time_point silenceEnd(std::chrono::microseconds silence) const;
    // Every pending byte, as the frame the silence ended.
    Frame takeAll();
    void clear() { pending_.clear(); }

    std::size_t pendingBytes() const { return pending_.size(); }
    // When the last byte arrived (the end of a request taken by its length).
    Clock::time_point lastByte() const { return lastByte_; }
    // Bytes dropped because no frame ended among them.
    std::uint64_t bytesDropped() const { return dropped_; }

private:
    // Where a request complete by its length starts in what is pending, if anywhere.
    std::optional<std::size_t> completeRequestAt(std::size_t from) const;
    bool completeAt(std::size_t offset) const;
    // Brings what is pending down to kMaxPending bytes.
    void resynchronise();

    bool stream_;
    Frame pending_;
    Clock::time_point lastByte_{};
    std::uint64_t dropped_ = 0;
};

}  // namespace pv::sim
