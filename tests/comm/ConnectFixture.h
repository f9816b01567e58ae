#pragma once
// The fixture of the Connect suites: virtual drives behind a peer that logs every read and can
// spoil one transaction, an open link, and a settings folder of the test's own.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include "comm/CDriveSerial.h"
#include "comm/Connect.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace pv::comm {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

inline constexpr std::uint32_t k2P5 = 0x35001;  // N350-2P5-H, 200 V

// One function-03 request as the drive saw it.
struct ReadSeen {
    int station;
    int first;
    int count;
    bool operator==(const ReadSeen&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const ReadSeen& r) {
    return os << "{" << r.station << ", 0x" << std::hex << r.first << std::dec << ", " << r.count
              << "}";
}

// The bus of virtual drives, with a log of the reads and one transaction (counted from 1) that
// is spoiled: no reply, or an exception reply.
class RecordingPeer : public serial::VirtualPeer {
public:
    enum class Spoil { None, Silence, Exception };

    explicit RecordingPeer(std::shared_ptr<sim::VirtualBus> bus) : bus_(std::move(bus)) {}
    std::vector<serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& f) override {
        ++transactions_;
        if (f.size() == 8 && f[1] == 0x03)
            reads.push_back({f[0], f[2] * 256 + f[3], f[4] * 256 + f[5]});
        if (transactions_ == spoilAt) {
            if (spoil == Spoil::Silence) return {};
            if (spoil == Spoil::Exception) {
                std::vector<std::uint8_t> r = {f[0], static_cast<std::uint8_t>(f[1] | 0x80), 2};
                sim::appendCrc(r);
                return {serial::ReplyChunk{{}, r}};
            }
        }
        return bus_->onFrame(f);
    }
    bool connected() const override { return true; }

    std::vector<ReadSeen> reads;
    int spoilAt = 0;
    Spoil spoil = Spoil::None;

private:
    std::shared_ptr<sim::VirtualBus> bus_;
    int transactions_ = 0;
};

class ConnectTest : public ::testing::Test {
protected:
    void SetUp() override {
        bus = std::make_shared<sim::VirtualBus>(PARVOLT_DATA_DIR);
        peer = std::make_shared<RecordingPeer>(bus);
        serial::setVirtualPeer(peer);
        ASSERT_NE(0, link.InitComm("SIM", 9600, 8, 0, 2.0f));
        link.setResponseTimeout(100ms);
        dir = fs::temp_directory_path() /
              ("pv-connect-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        request.settingsLocation.programDir = dir.string();
        request.settingsLocation.tempDir = dir.string();
        request.reloadInitialValues = [this](std::uint32_t code) {
            reloaded.push_back(code);
            return replacements;
        };
        settings.stationText = "1";
        request.settingsToSave = &settings;
    }
    void TearDown() override {
        serial::setVirtualPeer(nullptr);
        fs::remove_all(dir);
    }

    bool connect(std::vector<int> stations, std::optional<std::uint32_t> project) {
        request.stations = std::move(stations);
        request.stationText = settings.stationText;
        request.projectModel = project;
        return Connect(link, prompts, request, state, panes);
    }

    std::shared_ptr<sim::VirtualBus> bus;
    std::shared_ptr<RecordingPeer> peer;  // passes every frame to the bus and logs the reads
    CDriveSerial link;
    ScriptedPrompts prompts;
    ConnectRequest request;
    CommSettings settings;
    LinkState state;
    LinkPanes panes;
    std::vector<std::uint32_t> reloaded;
    std::vector<ReplacedValue> replacements;  // what the reload reports it changed
    fs::path dir;
};

}  // namespace pv::comm
