#pragma once
// A project, a link and a bus of virtual drives wired together the way the desktop program
// holds them, with every request and reply length on the wire recorded.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/FrameState.h"
#include "comm/CDriveSerial.h"
#include "comm/LinkState.h"
#include "comm/ReadCommand.h"
#include "project/CM240Doc.h"
#include "project/ModelTable.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace pv::test {

inline std::string dataDir() {
    return std::string(PARVOLT_DATA_DIR) + "/";
}

// Sits between the link and the bus and keeps what crossed the wire.
class RecordingPeer : public serial::VirtualPeer {
public:
    explicit RecordingPeer(std::shared_ptr<sim::VirtualBus> bus) : bus_(std::move(bus)) {}

    std::vector<serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& frame) override {
        std::function<void(std::size_t)> hook;
        std::size_t n;
        {
            std::lock_guard lock(mutex_);
            requests_.push_back(frame);
            n = requests_.size();
            hook = beforeReply;
        }
        if (hook) hook(n);
        auto chunks = bus_->onFrame(frame);
        std::size_t bytes = 0;
        for (const auto& c : chunks) bytes += c.bytes.size();
        std::lock_guard lock(mutex_);
        replyBytes_.push_back(bytes);
        return chunks;
    }
    bool connected() const override { return bus_->connected(); }
    void onOpen(int baud, int dataBits, int parity, float stopBits) override {
        bus_->onOpen(baud, dataBits, parity, stopBits);
    }

    std::vector<std::vector<std::uint8_t>> requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    std::vector<std::size_t> replyBytes() const {
        std::lock_guard lock(mutex_);
        return replyBytes_;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        requests_.clear();
        replyBytes_.clear();
    }
    // Called with the running frame number (from 1) before the bus answers it.
    std::function<void(std::size_t)> beforeReply;

private:
    std::shared_ptr<sim::VirtualBus> bus_;
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::vector<std::size_t> replyBytes_;
};

// Function-03 requests as (station, first register, count).
struct ReadRequest {
    int station;
    int first;
    int count;
    bool operator==(const ReadRequest&) const = default;
};

inline std::vector<ReadRequest> readRequests(const std::vector<std::vector<std::uint8_t>>& frames) {
    std::vector<ReadRequest> out;
    for (const auto& f : frames)
        if (f.size() == 8 && f[1] == 3) out.push_back({f[0], f[2] * 256 + f[3], f[4] * 256 + f[5]});
    return out;
}

// Function-16 requests as (first register, values).
struct WriteRequest {
    int first;
    std::vector<std::uint16_t> values;
};

inline std::vector<WriteRequest> writeRequests(
    const std::vector<std::vector<std::uint8_t>>& frames) {
    std::vector<WriteRequest> out;
    for (const auto& f : frames) {
        if (f.size() < 9 || f[1] != 16) continue;
        WriteRequest w{f[2] * 256 + f[3], {}};
        const int n = f[4] * 256 + f[5];
        for (int k = 0; k < n; ++k)
            w.values.push_back(static_cast<std::uint16_t>(f[7 + 2 * k] * 256 + f[8 + 2 * k]));
        out.push_back(w);
    }
    return out;
}

class TransferTest : public ::testing::Test {
protected:
    static constexpr std::uint32_t kModel = 0x35003;  // N350-202-H

    void SetUp() override {
        bus = std::make_shared<sim::VirtualBus>(dataDir());
        ASSERT_TRUE(bus->dataLoaded()) << "data files missing in " << dataDir();
        bus->addStation(1, kModel);
        bus->addStation(2, kModel);
        peer = std::make_shared<RecordingPeer>(bus);
        serial::setVirtualPeer(peer);
        ASSERT_NE(link.InitComm("SIM", 19200, 8, 0, 2.0f), 0);
        link.setResponseTimeout(std::chrono::milliseconds(100));
        doc.OnNewDocument();
        doc.ApplyModelDefaultsFile(kModel, true);
        frame.setModel(kModel, ModelNameForCode(kModel));
        linkState.linked = true;
        linkState.stations = {1, 2};
        linkState.modelCode = kModel;
    }
    void TearDown() override {
        link.Close();
        serial::setVirtualPeer(nullptr);
    }

    // A fresh bus, link, project and prompts (for table-driven cases in one test).
    void restart() {
        TearDown();
        prompts = ScriptedPrompts{};
        frame = FrameState{};
        linkState = comm::LinkState{};
        lastError.clear();
        SetUp();
    }

    comm::TransferContext context() {
        return comm::TransferContext{link, prompts, doc, frame.projectFacts(), linkState, lastError};
    }
    sim::VirtualDrive& drive(int station) { return *bus->station(station); }

    std::shared_ptr<sim::VirtualBus> bus;
    std::shared_ptr<RecordingPeer> peer;
    comm::CDriveSerial link;
    CM240Doc doc{dataDir()};
    FrameState frame;
    comm::LinkState linkState;
    ScriptedPrompts prompts;
    std::string lastError;
};

}  // namespace pv::test
