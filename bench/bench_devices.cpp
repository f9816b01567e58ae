// The copy module and the network adapters, timed end to end.
//
// Copy module: a whole project written into a storage group and read back, at 9600 baud 8N1
// (the module's line), with the module's replies held back as the line would (wire-time
// emulation), in-process and over a real pseudo-terminal. Each run is set against the line's
// limit: every request and reply character at 9600 baud, the module's turnaround, and 3.5
// characters of silence between frames. A ratio near 1 means the program adds nothing but the
// wire.
//
// Discovery: two virtual adapters on loopback; the time until both answered and the time the
// search takes in all (it ends once no answer has come for the wait after the last one).
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>

#include "comm/CDriveSerial.h"
#include "comm/CopyModule.h"
#include "comm/NetAdapters.h"
#include "project/CM240Doc.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/PtyServer.h"
#include "sim/VirtualAdapters.h"
#include "sim/VirtualBus.h"
#include "sim/VirtualCopyModule.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBaud = 9600;
constexpr double kBitsPerChar = 10.0;  // 8 data bits, no parity, 1 stop bit
constexpr auto kTurnaround = std::chrono::microseconds(1000);

class CountingModule : public pv::sim::VirtualCopyModule {
public:
    std::vector<pv::serial::ReplyChunk> onFrame(const std::vector<std::uint8_t>& f) override {
        auto chunks = VirtualCopyModule::onFrame(f);
        std::lock_guard lock(mutex_);
        ++frames;
        chars += static_cast<long>(f.size());
        for (const auto& c : chunks) chars += static_cast<long>(c.bytes.size());
        return chunks;
    }
    void reset() {
        std::lock_guard lock(mutex_);
        frames = chars = 0;
    }
    long frames = 0, chars = 0;

private:
    std::mutex mutex_;
};

double lineLimit(long frames, long chars) {
    const double charTime = kBitsPerChar / kBaud;
    return chars * charTime +
           frames * (std::chrono::duration<double>(kTurnaround).count() + 3.5 * charTime);
}

void copyModule(bool pty) {
    auto module = std::make_shared<CountingModule>();
    std::unique_ptr<pv::sim::PtyServer> server;
    std::string port = "SIM-COPY";
    if (pty) {
        pv::sim::StreamOptions o;
        o.line.baud = kBaud;
        o.line.format.stopBits = 1.0f;
        o.wireTime = true;
        o.turnaround = kTurnaround;
        server = std::make_unique<pv::sim::PtyServer>(*module, o);
        std::string error;
        if (!server->open(error)) {
            std::fprintf(stderr, "no pseudo-terminal: %s\n", error.c_str());
            return;
        }
        server->start();
        port = server->slavePath();
    } else {
        pv::serial::setVirtualPeer("SIM-COPY", module);
        module->setWireTime(kBaud, kTurnaround);
    }
    pv::CM240Doc doc(std::string(PARVOLT_DATA_DIR) + "/");
    doc.OnNewDocument();
    pv::comm::CopyModuleLink link;
    pv::ScriptedPrompts prompts;
    prompts.copyModuleAnswers = {pv::CopyModuleChoice{5, "bench", port}};
    // One write first, so that both timed runs start from an open channel and a listening
    // module, as every command after the first does.
    pv::comm::CopyModuleSet set;
    pv::comm::WriteToCopyModule(link, doc.table, {}, prompts);
    for (const bool write : {true, false}) {
        module->reset();
        prompts.copyModuleAnswers = {pv::CopyModuleChoice{5, "bench", port}};
        const auto t0 = Clock::now();
        const auto status =
            write ? pv::comm::WriteToCopyModule(link, doc.table, {}, prompts)
                  : pv::comm::ReadFromCopyModule(link, doc.table, prompts, set);
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (status != pv::comm::CopyStatus::Done) {
            std::fprintf(stderr, "copy module %s failed\n", write ? "write" : "read");
            continue;
        }
        const double limit = lineLimit(module->frames, module->chars);
        std::printf("| %s | %s | %ld | %ld | %.3f | %.3f | %.3f |\n", write ? "Write" : "Read",
                    pty ? "pseudo-terminal" : "in-process", module->frames, module->chars, s,
                    limit, s / limit);
    }
    if (!pty) pv::serial::setVirtualPeer("SIM-COPY", nullptr);
}

void discovery() {
    pv::sim::VirtualBus bus(std::string(PARVOLT_DATA_DIR) + "/");
    pv::sim::VirtualAdapters adapters(bus, pv::sim::StreamOptions{}, 0);
    std::string error;
    for (const char* a : {"00-20-4a-14-01-18@127.0.0.2", "00-20-4a-14-01-19@127.0.0.3"}) {
        pv::sim::AdapterSetting s;
        pv::sim::parseAdapter(a, s);
        if (!adapters.add(s, error)) {
            std::fprintf(stderr, "adapter: %s\n", error.c_str());
            return;
        }
    }
    if (!adapters.listen(0, error)) {
        std::fprintf(stderr, "udp: %s\n", error.c_str());
        return;
    }
    std::printf("\n| Discovery wait (ms) | Adapters found | Search (s) |\n|---|---|---|\n");
    for (const int waitMs : {200, 2000}) {
        pv::comm::DiscoveryTarget target;
        target.address = "127.255.255.255";
        target.port = adapters.udpPort();
        target.localPort = 0;
        target.wait = std::chrono::milliseconds(waitMs);
        pv::comm::CDriveSerial channel;
        std::vector<pv::serial::NetAdapter> found;
        const auto t0 = Clock::now();
        pv::comm::SearchAdapters(channel, target, {}, found);
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        std::printf("| %d | %zu | %.3f |\n", waitMs, found.size(), s);
    }
}

}  // namespace

int main() {
    std::printf("Copy module at %d baud 8N1, wire time emulated, turnaround %lld us\n\n", kBaud,
                static_cast<long long>(kTurnaround.count()));
    std::printf("| Transfer | Wire | Frames | Characters | Measured (s) | Line limit (s) | Ratio |\n");
    std::printf("|---|---|---|---|---|---|---|\n");
    copyModule(false);
    copyModule(true);
    discovery();
    return 0;
}
