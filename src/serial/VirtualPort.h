#pragma once
// A Port whose other end is an in-process VirtualPeer. Reply chunks are played back at the times
// the peer asks for, measured from the end of the request, so that a slow, late or silent peer
// behaves on this port as it would on a wire: nothing arrives before it is due.

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "serial/Port.h"
#include "serial/VirtualPeer.h"

namespace pv::serial {

class VirtualPort : public Port {
public:
    VirtualPort(std::shared_ptr<VirtualPeer> peer, const LineSettings& settings);

    bool send(const std::uint8_t* data, std::size_t len) override;
    long recv(std::uint8_t* data, std::size_t max, Deadline deadline) override;
    void flushInput() override;
    void close() override;
    bool isOpen() const override;
    std::string lastFailure() const override;
    // The time the chunk that completed the bytes was due: when its last byte left the wire.
    Deadline arrivedAt() const override;

private:
    using Clock = std::chrono::steady_clock;
    struct Scheduled {
        Clock::time_point due;
        std::vector<std::uint8_t> bytes;
    };

    // Moves every chunk that is due by `now` into the received bytes.
    void deliverDue(Clock::time_point now);

    std::shared_ptr<VirtualPeer> peer_;
    mutable std::mutex mutex_;
    std::deque<Scheduled> scheduled_;  // ordered by due time
    std::deque<std::uint8_t> received_;
    Clock::time_point lastDue_{};  // of the newest chunk delivered
    Clock::time_point arrivedAt_{};
    bool open_ = true;
    std::string failure_;
};

}  // namespace pv::serial
