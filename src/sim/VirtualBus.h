#pragma once
// An RS-485 bus of virtual N350 drives (stations 1..32, a model each) behind the in-process
// virtual wire, a pseudo-terminal or a TCP socket. It takes whole request frames, lets the
// addressed drive answer (broadcasts reach every drive and are not answered), and shapes the
// reply on its way back: the station's injected fault, and the time the reply would need on a
// real line at the chosen baud rate.

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "serial/VirtualPeer.h"
#include "sim/StreamPeer.h"
#include "sim/DriveModels.h"
#include "sim/FaultPlan.h"
#include "sim/SimClock.h"
#include "sim/VirtualDrive.h"
#include "sim/WireTime.h"

namespace pv::sim {

inline constexpr int kMaxStation = 32;

class VirtualBus : public StreamPeer {
public:
    // Loads the data files of dataDir once; drives of the same model share their definitions.
    explicit VirtualBus(const std::string& dataDir);

    // Adds (or replaces) the drive at a station 1..32.
    VirtualDrive& addStation(int station, std::uint32_t modelCode);
    // nullptr when no drive answers at that station. The drive lives as long as the bus, unless
    // addStation replaces it.
    VirtualDrive* station(int station);
    std::vector<int> stations() const;
    // The software version (13-01) of drives added from now on.
    void setDefaultVersion(std::uint16_t raw);
    // Judge parameter writes by the write rules too (every drive, present and future).
    void setStrictRules(bool strict);
    bool dataLoaded() const { return models_.loaded(); }

    // Reply timing of a real line: request and reply characters at `baud` (character format
    // from the master's line settings) plus the drive's turnaround. baud 0: turnaround only.
    void setWireTime(int baud, std::chrono::microseconds turnaround) override;
    void disableWireTime();
    WireTime wireTime() const;

    // The faults of a station (settable at run time from any thread).
    FaultPlan& faults(int station);
    void clearFaults();

    // The time base of every drive (a ManualClock lets tests step the motor).
    void setClock(std::shared_ptr<SimClock> clock);

    // Unplugging and plugging the wire (a Disconnect fault unplugs it too).
    void setConnected(bool connected) override;

    // Request frames seen, including broadcasts and damaged ones.
    std::uint64_t framesSeen() const;

    std::vector<pv::serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& frame) override;
    bool connected() const override;
    void onOpen(int baud, int dataBits, int parity, float stopBits) override;

    // The reply chunks a fault turns a reply into (exposed for the servers and tests).
    std::vector<pv::serial::ReplyChunk> shapeReply(std::vector<std::uint8_t> reply,
                                                   std::size_t requestBytes, Fault fault);

private:
    DriveModels models_;
    mutable std::mutex mutex_;
    std::map<int, std::unique_ptr<VirtualDrive>> drives_;
    std::array<FaultPlan, 248> faults_;  // every address a frame can carry
    WireTime wire_;
    std::shared_ptr<SimClock> clock_;
    std::uint16_t version_ = kDefaultVersion;
    bool strict_ = false;
    bool connected_ = true;
    std::uint64_t frames_ = 0;
    std::uint32_t noise_ = 0x2F6B1D37u;
};

// Appends the CRC (low byte first) to a frame.
void appendCrc(std::vector<std::uint8_t>& frame);

}  // namespace pv::sim
