#include "serial/VirtualPort.h"

#include <algorithm>

#include "serial/VirtualWire.h"
#include "serial/Wakeup.h"

namespace pv::serial {

namespace {
std::mutex gPeerMutex;
std::shared_ptr<VirtualPeer> gPeer;
}  // namespace

void setVirtualPeer(std::shared_ptr<VirtualPeer> peer) {
    std::lock_guard lock(gPeerMutex);
    gPeer = std::move(peer);
}

std::shared_ptr<VirtualPeer> virtualPeer() {
    std::lock_guard lock(gPeerMutex);
    return gPeer;
}

VirtualPort::VirtualPort(std::shared_ptr<VirtualPeer> peer, const LineSettings& settings)
    : peer_(std::move(peer)) {
    if (!peer_) {
        open_ = false;
        failure_ = "no virtual drive is registered";
        return;
    }
    peer_->onOpen(settings.baud, settings.dataBits, settings.parity, settings.stopBits);
}

bool VirtualPort::send(const std::uint8_t* data, std::size_t len) {
    std::lock_guard lock(mutex_);
    if (!open_) return false;
    if (!peer_->connected()) {
        failure_ = "the virtual drive is disconnected";
        return false;
    }
    const auto sentAt = Clock::now();
    auto chunks = peer_->onFrame(std::vector<std::uint8_t>(data, data + len));
    // Chunks of one reply keep their order even if the peer gave a shorter delay to a later one;
    // chunks still pending from earlier requests stay where their time puts them, as on a wire.
    Clock::time_point floor = sentAt;
    for (auto& c : chunks) {
        const auto due = std::max(floor, sentAt + c.delay);
        floor = due;
        auto pos =
            std::upper_bound(scheduled_.begin(), scheduled_.end(), due,
                             [](Clock::time_point t, const Scheduled& s) { return t < s.due; });
        scheduled_.insert(pos, Scheduled{due, std::move(c.bytes)});
    }
    return true;
}

void VirtualPort::deliverDue(Clock::time_point now) {
    while (!scheduled_.empty() && scheduled_.front().due <= now) {
        const auto& bytes = scheduled_.front().bytes;
        received_.insert(received_.end(), bytes.begin(), bytes.end());
        lastDue_ = scheduled_.front().due;
        scheduled_.pop_front();
    }
}

long VirtualPort::recv(std::uint8_t* data, std::size_t max, Deadline deadline) {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (!open_) return -1;
        const auto now = Clock::now();
        deliverDue(now);
        if (!received_.empty()) {
            const std::size_t n = std::min(max, received_.size());
            std::copy_n(received_.begin(), n, data);
            received_.erase(received_.begin(), received_.begin() + static_cast<long>(n));
            arrivedAt_ = lastDue_;
            return static_cast<long>(n);
        }
        if (!peer_->connected()) {
            failure_ = "the virtual drive is disconnected";
            return -1;
        }
        if (now >= deadline) return 0;
        const auto wake =
            scheduled_.empty() ? deadline : std::min(deadline, scheduled_.front().due);
        // Only this thread feeds the schedule (send and recv run on the link's one thread), so
        // sleeping without the lock until the next chunk is due cannot miss a delivery.
        lock.unlock();
        sleepUntil(wake);
        lock.lock();
    }
}

void VirtualPort::flushInput() {
    std::lock_guard lock(mutex_);
    deliverDue(Clock::now());
    received_.clear();
}

void VirtualPort::close() {
    std::lock_guard lock(mutex_);
    open_ = false;
    scheduled_.clear();
    received_.clear();
}

bool VirtualPort::isOpen() const {
    std::lock_guard lock(mutex_);
    return open_;
}

Deadline VirtualPort::arrivedAt() const {
    std::lock_guard lock(mutex_);
    return arrivedAt_;
}

std::string VirtualPort::lastFailure() const {
    std::lock_guard lock(mutex_);
    return failure_;
}

}  // namespace pv::serial
