#include "sim/VirtualCopyModule.h"

#include <algorithm>

#include "serial/Crc16.h"
#include "sim/VirtualBus.h"

namespace pv::sim {

namespace {
constexpr std::uint8_t kStart = 0xFA;
constexpr std::uint8_t kFuncCommand = 0x08, kFuncWrite = 0x10, kFuncRead = 0x03;
constexpr std::uint8_t kConnect = 0x00, kStatus = 0x10, kStore = 0x30, kBeginRead = 0x50,
                       kFinish = 0x60;
// Longest frame the module's buffer takes.
constexpr int kMaxRegisters = 31;

unsigned be16(const std::uint8_t* p) {
    return static_cast<unsigned>(p[0] << 8 | p[1]);
}
}  // namespace

void VirtualCopyModule::setFault(Fault kind, int afterReplies) {
    std::lock_guard lock(mutex_);
    fault_ = kind;
    faultAfter_ = std::max(afterReplies, 0);
}

std::vector<std::uint8_t> VirtualCopyModule::memory(int group) const {
    std::lock_guard lock(mutex_);
    const auto it = memory_.find(group);
    return it != memory_.end() ? it->second : std::vector<std::uint8_t>(kGroupBytes, 0xFF);
}

bool VirtualCopyModule::stored(int group) const {
    std::lock_guard lock(mutex_);
    const auto it = stored_.find(group);
    return it != stored_.end() && it->second;
}

std::uint64_t VirtualCopyModule::framesSeen() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

void VirtualCopyModule::powerCycle() {
    std::lock_guard lock(mutex_);
    state_ = State::Off;
}

bool VirtualCopyModule::connected() const {
    std::lock_guard lock(mutex_);
    return plugged_ && !(fault_ == Fault::Unplugged && faultAfter_ == 0);
}

void VirtualCopyModule::setConnected(bool connected) {
    std::lock_guard lock(mutex_);
    plugged_ = connected;
    if (connected && fault_ == Fault::Unplugged) fault_ = Fault::None;
}

void VirtualCopyModule::onOpen(int, int dataBits, int parity, float stopBits) {
    std::lock_guard lock(mutex_);
    wire_.setFormat(LineFormat{dataBits, parity, stopBits});
}

void VirtualCopyModule::setWireTime(int baud, std::chrono::microseconds turnaround) {
    std::lock_guard lock(mutex_);
    wire_.set(baud, turnaround);
}

std::vector<std::uint8_t>& VirtualCopyModule::groupMemory(int group) {
    auto it = memory_.find(group);
    if (it == memory_.end())
        it = memory_.emplace(group, std::vector<std::uint8_t>(kGroupBytes, 0xFF)).first;
    return it->second;
}

std::vector<pv::serial::ReplyChunk> VirtualCopyModule::onFrame(
    const std::vector<std::uint8_t>& frame) {
    std::lock_guard lock(mutex_);
    ++frames_;
    if (!plugged_ || (fault_ == Fault::Unplugged && faultAfter_ == 0)) return {};
    std::vector<std::uint8_t> reply = answer(frame);
    if (reply.empty()) return {};
    appendCrc(reply);
    if (fault_ != Fault::None) {
        if (faultAfter_ > 0)
            --faultAfter_;
        else if (fault_ == Fault::BadCrc)
            reply.back() ^= 0xFF;
    }
    return {{wire_.replyDelay(frame.size(), reply.size()), std::move(reply)}};
}

// The reply without its CRC; empty for silence.
std::vector<std::uint8_t> VirtualCopyModule::answer(const std::vector<std::uint8_t>& f) {
    if (f.size() < 9 || f[0] != kStart || !serial::frameCrcOk(f.data(), f.size())) return {};
    const int group = f[1];
    const std::uint8_t function = f[2];
    if (function == kFuncCommand) {
        if (f.size() != 9 || f[3] != 0x0A || f[5] != 0x00 || f[6] != 0x01) return {};
        const std::uint8_t code = f[4];
        if (code == kConnect) {
            state_ = State::Idle;
        } else if (state_ == State::Off) {
            return {};  // nothing but a connect wakes it
        } else if (code == kStatus) {
            // answered in every state once connected
        } else if (code == kStore) {
            if (state_ != State::Writing) return {};
            stored_[group] = true;
            state_ = State::Stored;
        } else if (code == kBeginRead) {
            state_ = State::Reading;  // a write left unfinished (cancelled) is abandoned
        } else if (code == kFinish) {
            state_ = State::Idle;
        } else {
            return {};
        }
        return {f.begin(), f.end() - 2};
    }
    const unsigned address = be16(&f[3]);
    const int count = static_cast<int>(be16(&f[5]));
    if (count < 1 || count > kMaxRegisters || address % 2 != 0 ||
        address + 2u * static_cast<unsigned>(count) > kGroupBytes)
        return {};
    if (function == kFuncWrite) {
        if (f.size() != 10u + 2u * count || f[7] != 2 * count) return {};
        if (state_ == State::Off) return {};
        if (state_ != State::Writing) stored_[group] = false;
        state_ = State::Writing;
        auto& mem = groupMemory(group);
        std::copy(f.begin() + 8, f.begin() + 8 + 2 * count, mem.begin() + address);
        return {f.begin(), f.begin() + 7};
    }
    if (function == kFuncRead) {
        if (f.size() != 9 || state_ != State::Reading) return {};
        const auto& mem = groupMemory(group);
        std::vector<std::uint8_t> r{kStart, static_cast<std::uint8_t>(group), kFuncRead,
                                    static_cast<std::uint8_t>(count),
                                    static_cast<std::uint8_t>(2 * count)};
        r.insert(r.end(), mem.begin() + address, mem.begin() + address + 2 * count);
        return r;
    }
    return {};
}

}  // namespace pv::sim
