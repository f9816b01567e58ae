#include "serial/VirtualPort.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>

#include "serial/VirtualWire.h"
#include "serial/Wakeup.h"

namespace pv::serial {

namespace {
std::mutex gPeerMutex;
// Port name (upper case) -> peer, in registration order; a handful at most.
std::vector<std::pair<std::string, std::shared_ptr<VirtualPeer>>> gPeers;

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}
}  // namespace

void setVirtualPeer(std::shared_ptr<VirtualPeer> peer) {
    setVirtualPeer("SIM", std::move(peer));
}

std::shared_ptr<VirtualPeer> virtualPeer() {
    return virtualPeer("SIM");
}

void setVirtualPeer(const std::string& portName, std::shared_ptr<VirtualPeer> peer) {
    const std::string key = upper(portName);
    std::lock_guard lock(gPeerMutex);
    const auto it = std::find_if(gPeers.begin(), gPeers.end(),
                                 [&](const auto& p) { return p.first == key; });
    if (it != gPeers.end()) gPeers.erase(it);
    if (peer) gPeers.emplace_back(key, std::move(peer));
}

std::shared_ptr<VirtualPeer> virtualPeer(const std::string& portName) {
    const std::string key = upper(portName);
    std::lock_guard lock(gPeerMutex);
    for (const auto& [name, peer] : gPeers)
        if (name == key) return peer;
    return nullptr;
}

std::vector<std::string> virtualPortNames() {
    std::lock_guard lock(gPeerMutex);
    std::vector<std::string> names;
    for (const auto& p : gPeers) names.push_back(p.first);
    return names;
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
