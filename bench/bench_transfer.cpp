// Full Read and full Write of a project against the virtual drive, with the drive's replies held
// back as a real RS-485 line would (wire-time emulation) at 9600, 19200 and 38400 baud, and with
// no emulation. Each run is set against the line's limit: the request and reply characters of
// every transaction at the baud rate, the drive's turnaround, and the silence Modbus RTU requires
// between frames (3.5 characters, 1.75 ms at the least). A ratio near 1 means the program adds
// nothing but the wire; without emulation the time per transaction is the software's own cost
// plus that silence.
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/FrameState.h"
#include "comm/CDriveSerial.h"
#include "comm/LinkState.h"
#include "comm/ReadCommand.h"
#include "comm/WriteCommand.h"
#include "project/CM240Doc.h"
#include "project/ModelTable.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kModel = 0x35003;
constexpr double kBitsPerChar = 11.0;  // 8 data bits, no parity, 2 stop bits
constexpr auto kTurnaround = std::chrono::microseconds(1000);

// Counts the characters of every request and reply that crossed the wire.
class CountingPeer : public pv::serial::VirtualPeer {
public:
    explicit CountingPeer(std::shared_ptr<pv::sim::VirtualBus> bus) : bus_(std::move(bus)) {}
    std::vector<pv::serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& f) override {
        auto chunks = bus_->onFrame(f);
        std::lock_guard lock(mutex_);
        ++transactions;
        chars += f.size();
        for (const auto& c : chunks) chars += c.bytes.size();
        return chunks;
    }
    bool connected() const override { return bus_->connected(); }
    void onOpen(int b, int d, int p, float s) override { bus_->onOpen(b, d, p, s); }
    void reset() {
        std::lock_guard lock(mutex_);
        transactions = 0;
        chars = 0;
    }
    long transactions = 0;
    long chars = 0;

private:
    std::shared_ptr<pv::sim::VirtualBus> bus_;
    std::mutex mutex_;
};

struct Result {
    double seconds = 0;
    long transactions = 0;
    long chars = 0;
};

// The line's limit for what was sent: characters at the baud rate, turnaround and inter-frame
// silence per transaction.
double lineLimit(const Result& r, int baud, bool emulated) {
    const double charTime = kBitsPerChar / baud;
    const double silence = std::max(3.5 * charTime, 0.00175);
    const double turnaround = emulated ? std::chrono::duration<double>(kTurnaround).count() : 0;
    return r.chars * (emulated ? charTime : 0) + r.transactions * (turnaround + silence);
}

struct Bench {
    std::shared_ptr<pv::sim::VirtualBus> bus;
    std::shared_ptr<CountingPeer> peer;
    pv::comm::CDriveSerial link;
    pv::CM240Doc doc{std::string(PARVOLT_DATA_DIR) + "/"};
    pv::FrameState frame;
    pv::comm::LinkState linkState;
    pv::ScriptedPrompts prompts;
    std::string lastError;

    bool open(int baud) {
        bus = std::make_shared<pv::sim::VirtualBus>(std::string(PARVOLT_DATA_DIR) + "/");
        if (!bus->dataLoaded()) return false;
        bus->addStation(1, kModel);
        peer = std::make_shared<CountingPeer>(bus);
        pv::serial::setVirtualPeer(peer);
        if (link.InitComm("SIM", baud, 8, 0, 2.0f) == 0) return false;
        doc.OnNewDocument();
        doc.ApplyModelDefaultsFile(kModel, true);
        frame.setModel(kModel, pv::ModelNameForCode(kModel));
        linkState.linked = true;
        linkState.stations = {1};
        return true;
    }
    Result run(bool write) {
        prompts = pv::ScriptedPrompts{};
        prompts.yesNoCancelAnswers.push_back(pv::YesNoCancel::No);
        pv::comm::TransferContext ctx(link, prompts, doc, frame.projectFacts(), linkState, lastError);
        peer->reset();
        const auto t0 = Clock::now();
        const bool ok = write
                            ? pv::comm::RunWriteCommand(ctx).result == pv::comm::CommandResult::Done
                            : pv::comm::RunReadCommand(ctx).result == pv::comm::CommandResult::Done;
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (!ok) std::fprintf(stderr, "transfer failed: %s\n", lastError.c_str());
        return {s, peer->transactions, peer->chars};
    }
};

}  // namespace

int main() {
    std::printf(
        "| Transfer | Baud | Transactions | Characters | Measured s | Line limit s | Ratio |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    for (int baud : {9600, 19200, 38400}) {
        Bench b;
        if (!b.open(baud)) {
            std::fprintf(stderr, "no data files in %s\n", PARVOLT_DATA_DIR);
            return 1;
        }
        b.bus->setWireTime(baud, kTurnaround);
        for (bool write : {false, true}) {
            const Result r = b.run(write);
            const double limit = lineLimit(r, baud, true);
            std::printf("| %s | %d | %ld | %ld | %.3f | %.3f | %.3f |\n", write ? "Write" : "Read",
                        baud, r.transactions, r.chars, r.seconds, limit, r.seconds / limit);
        }
        b.link.Close();
        pv::serial::setVirtualPeer(nullptr);
    }
    std::printf(
        "\n| Transfer, no emulation | Baud | Transactions | Per transaction ms | "
        "Of it inter-frame silence ms | Software ms |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (int baud : {9600, 38400}) {
        Bench b;
        if (!b.open(baud)) return 1;
        b.bus->disableWireTime();
        for (bool write : {false, true}) {
            const Result r = b.run(write);
            const double per = r.seconds / r.transactions * 1e3;
            const double silence = lineLimit(r, baud, false) / r.transactions * 1e3;
            std::printf("| %s | %d | %ld | %.3f | %.3f | %.3f |\n", write ? "Write" : "Read", baud,
                        r.transactions, per, silence, per - silence);
        }
        b.link.Close();
        pv::serial::setVirtualPeer(nullptr);
    }
    return 0;
}
