#include "sim/VirtualBus.h"

#include <algorithm>

#include "serial/Crc16.h"
#include "sim/RequestDecoder.h"

namespace pv::sim {

using pv::serial::ReplyChunk;

void appendCrc(std::vector<std::uint8_t>& frame) {
    const std::uint16_t crc = pv::serial::crc16(frame.data(), frame.size());
    frame.push_back(static_cast<std::uint8_t>(crc & 0xFF));
    frame.push_back(static_cast<std::uint8_t>(crc >> 8));
}

VirtualBus::VirtualBus(const std::string& dataDir) : models_(dataDir), clock_(makeSteadyClock()) {}

VirtualDrive& VirtualBus::addStation(int station, std::uint32_t modelCode) {
    std::lock_guard lock(mutex_);
    auto drive =
        std::make_unique<VirtualDrive>(station, modelCode, models_.registersFor(modelCode), clock_);
    drive->setVersion(version_);
    drive->setStrictRules(strict_);
    VirtualDrive& ref = *drive;
    drives_[station] = std::move(drive);
    return ref;
}

VirtualDrive* VirtualBus::station(int station) {
    std::lock_guard lock(mutex_);
    const auto it = drives_.find(station);
    return it == drives_.end() ? nullptr : it->second.get();
}

void VirtualBus::setDefaultVersion(std::uint16_t raw) {
    std::lock_guard lock(mutex_);
    version_ = raw;
}

void VirtualBus::setStrictRules(bool strict) {
    std::lock_guard lock(mutex_);
    strict_ = strict;
    for (auto& [s, d] : drives_) d->setStrictRules(strict);
}

std::vector<int> VirtualBus::stations() const {
    std::lock_guard lock(mutex_);
    std::vector<int> out;
    for (const auto& [s, d] : drives_) out.push_back(s);
    return out;
}

void VirtualBus::setWireTime(int baud, std::chrono::microseconds turnaround) {
    std::lock_guard lock(mutex_);
    wire_.set(baud, turnaround);
}

void VirtualBus::disableWireTime() {
    std::lock_guard lock(mutex_);
    wire_.disable();
}

WireTime VirtualBus::wireTime() const {
    std::lock_guard lock(mutex_);
    return wire_;
}

FaultPlan& VirtualBus::faults(int station) {
    return faults_[static_cast<std::size_t>(std::clamp(station, 0, 247))];
}

void VirtualBus::clearFaults() {
    for (FaultPlan& f : faults_) f.clear();
}

void VirtualBus::setClock(std::shared_ptr<SimClock> clock) {
    std::lock_guard lock(mutex_);
    clock_ = clock ? std::move(clock) : makeSteadyClock();
    for (auto& [s, d] : drives_) d->setClock(clock_);
}

void VirtualBus::setConnected(bool connected) {
    std::lock_guard lock(mutex_);
    connected_ = connected;
}

bool VirtualBus::connected() const {
    std::lock_guard lock(mutex_);
    return connected_;
}

std::uint64_t VirtualBus::framesSeen() const {
    std::lock_guard lock(mutex_);
    return frames_;
}

void VirtualBus::onOpen(int baud, int dataBits, int parity, float stopBits) {
    std::lock_guard lock(mutex_);
    (void)baud;  // the emulated rate is the one set with setWireTime
    wire_.setFormat({dataBits, parity, stopBits});
}

std::vector<ReplyChunk> VirtualBus::onFrame(const std::vector<std::uint8_t>& frame) {
    std::unique_lock lock(mutex_);
    ++frames_;
    if (!connected_) return {};
    const auto in = decodeFrame(frame.data(), frame.size());
    if (!in) return {};
    if (in->broadcast()) {
        for (auto& [s, d] : drives_) d->handleBroadcast(in->pdu, in->length);
        return {};
    }
    const int address = in->station;
    const auto it = drives_.find(address);
    if (it == drives_.end()) return {};
    std::vector<std::uint8_t> reply = it->second->handle(in->pdu, in->length);
    if (reply.empty()) return {};
    reply.insert(reply.begin(), static_cast<std::uint8_t>(address));
    appendCrc(reply);
    lock.unlock();
    return shapeReply(std::move(reply), frame.size(), faults(address).take());
}

std::vector<ReplyChunk> VirtualBus::shapeReply(std::vector<std::uint8_t> reply,
                                               std::size_t requestBytes, Fault fault) {
    std::unique_lock lock(mutex_);
    const WireTime wire = wire_;
    auto at = [&](std::size_t bytes) { return wire.replyDelay(requestBytes, bytes); };
    auto ms = [](int v) { return std::chrono::microseconds(static_cast<long long>(v) * 1000); };
    const std::uint8_t function = reply.size() > 1 ? reply[1] : 0;

    switch (fault.kind) {
        case FaultKind::None:
            break;
        case FaultKind::Drop:
            return {};
        case FaultKind::Disconnect:
            connected_ = false;
            return {};
        case FaultKind::BadCrc:
            reply.back() ^= 0xFF;
            break;
        case FaultKind::Delay:
            return {{at(reply.size()) + ms(fault.arg >= 0 ? fault.arg : kDefaultDelayMs), reply}};
        case FaultKind::Late:
            return {{at(reply.size()) + ms(fault.arg >= 0 ? fault.arg : kDefaultLateMs), reply}};
        case FaultKind::WrongFunction:
            reply.resize(reply.size() - 2);
            reply[1] = fault.arg >= 0 ? static_cast<std::uint8_t>(fault.arg)
                                      : static_cast<std::uint8_t>((function & 0x7F) + 1);
            appendCrc(reply);
            break;
        case FaultKind::Exception:
            reply = {reply[0], static_cast<std::uint8_t>(function | 0x80),
                     static_cast<std::uint8_t>(fault.arg >= 0 ? fault.arg : drive::kRegisterCount)};
            appendCrc(reply);
            break;
        case FaultKind::Garbage: {
            const std::size_t n =
                fault.arg > 0 ? static_cast<std::size_t>(fault.arg) : reply.size();
            std::vector<std::uint8_t> noise(n);
            for (auto& b : noise) {
                noise_ = noise_ * 1664525u + 1013904223u;
                b = static_cast<std::uint8_t>(noise_ >> 24);
            }
            // Noise that happens to carry a valid CRC would be a reply, not noise.
            if (pv::serial::frameCrcOk(noise.data(), noise.size())) noise.back() ^= 0x5A;
            return {{at(n), noise}};
        }
        case FaultKind::Truncated: {
            std::size_t n = fault.arg > 0 ? static_cast<std::size_t>(fault.arg) : reply.size() / 2;
            n = std::clamp<std::size_t>(n, 1, reply.size() - 1);
            reply.resize(n);
            break;
        }
    }
    return {{at(reply.size()), reply}};
}

}  // namespace pv::sim
