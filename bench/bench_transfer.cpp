// Full Read and full Write of a project against the virtual drive, with the drive's replies held
// back as a real RS-485 line would (wire-time emulation), at every baud rate from 9600 to 115200,
// and with no emulation. Each transfer runs twice: in-process (the link on the virtual wire) and
// over a real pseudo-terminal (the simulator's server on the master side, the link opened on the
// slave side as on a serial device). Each run is set against the line's limit: the request and
// reply characters of every transaction at the baud rate, the drive's turnaround, and the
// silence Modbus RTU requires between frames (3.5 characters, 1.75 ms at the least). A ratio
// near 1 means the program adds nothing but the wire; without emulation the time per
// transaction is the software's own cost plus that silence.
#include <chrono>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
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
#include "sim/PtyServer.h"
#include "sim/VirtualBus.h"
#include "BenchWire.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kModel = 0x35003;
constexpr double kBitsPerChar = 11.0;  // 8 data bits, no parity, 2 stop bits
constexpr auto kTurnaround = std::chrono::microseconds(1000);

enum class Wire { InProcess, Pty };

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
    std::shared_ptr<pv::bench::CountingBus> bus;
    std::unique_ptr<pv::sim::PtyServer> pty;
    pv::comm::CDriveSerial link;
    pv::CM240Doc doc{std::string(PARVOLT_DATA_DIR) + "/"};
    pv::FrameState frame;
    pv::comm::LinkState linkState;
    pv::ScriptedPrompts prompts;
    std::string lastError;

    ~Bench() {
        link.Close();
        if (pty) pty->stop();
        pv::serial::setVirtualPeer(nullptr);
    }
    // `emulated`: the drive holds each reply for its wire time plus the turnaround.
    bool open(Wire wire, int baud, bool emulated) {
        bus = std::make_shared<pv::bench::CountingBus>(std::string(PARVOLT_DATA_DIR) + "/");
        if (!bus->dataLoaded()) return false;
        bus->addStation(1, kModel);
        std::string port = "SIM";
        if (wire == Wire::Pty) {
            pv::sim::StreamOptions o;
            o.line.baud = baud;
            o.wireTime = emulated;
            o.turnaround = emulated ? kTurnaround : std::chrono::microseconds(0);
            pty = std::make_unique<pv::sim::PtyServer>(*bus, o);
            std::string error;
            if (!pty->open(error)) {
                std::fprintf(stderr, "no pseudo-terminal: %s\n", error.c_str());
                return false;
            }
            pty->start();
            port = pty->slavePath();
        } else {
            pv::serial::setVirtualPeer(bus);
            if (emulated)
                bus->setWireTime(baud, kTurnaround);
            else
                bus->disableWireTime();
        }
        if (link.InitComm(port, baud, 8, 0, 2.0f) == 0) {
            std::fprintf(stderr, "%s: %s\n", port.c_str(), link.lastFailure().c_str());
            return false;
        }
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
        bus->reset();
        const auto t0 = Clock::now();
        const bool ok = write
                            ? pv::comm::RunWriteCommand(ctx).result == pv::comm::CommandResult::Done
                            : pv::comm::RunReadCommand(ctx).result == pv::comm::CommandResult::Done;
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (!ok) std::fprintf(stderr, "transfer failed: %s\n", lastError.c_str());
        const auto [transactions, chars] = bus->counts();
        return {s, transactions, chars};
    }
};

// One transfer on a fresh drive over the given wire.
bool measure(Wire wire, int baud, bool emulated, bool write, Result& r) {
    Bench b;
    if (!b.open(wire, baud, emulated)) return false;
    r = b.run(write);
    return true;
}

}  // namespace

int main() {
    std::printf(
        "| Transfer | Baud | Transactions | Characters | Line limit s | In-process s | Ratio | "
        "Pty s | Ratio | Pty / in-process |\n");
    std::printf("|---|---|---|---|---|---|---|---|---|---|\n");
    for (int baud : {9600, 19200, 38400, 57600, 115200}) {
        for (bool write : {false, true}) {
            Result in, pty;
            if (!measure(Wire::InProcess, baud, true, write, in) ||
                !measure(Wire::Pty, baud, true, write, pty)) {
                std::fprintf(stderr, "no data files in %s, or no pseudo-terminal\n",
                             PARVOLT_DATA_DIR);
                return 1;
            }
            if (pty.transactions != in.transactions || pty.chars != in.chars)
                std::fprintf(stderr, "the pseudo-terminal carried %ld transactions, %ld characters\n",
                             pty.transactions, pty.chars);
            const double limit = lineLimit(in, baud, true);
            std::printf("| %s | %d | %ld | %ld | %.3f | %.3f | %.3f | %.3f | %.3f | %.3f |\n",
                        write ? "Write" : "Read", baud, in.transactions, in.chars, limit,
                        in.seconds, in.seconds / limit, pty.seconds,
                        pty.seconds / lineLimit(pty, baud, true), pty.seconds / in.seconds);
            std::fflush(stdout);
        }
    }
    std::printf(
        "\n| Transfer, no emulation | Baud | Transactions | Per transaction ms | "
        "Of it inter-frame silence ms | Software ms |\n");
    std::printf("|---|---|---|---|---|---|\n");
    for (int baud : {9600, 38400}) {
        for (bool write : {false, true}) {
            Result r;
            if (!measure(Wire::InProcess, baud, false, write, r)) return 1;
            const double per = r.seconds / r.transactions * 1e3;
            const double silence = lineLimit(r, baud, false) / r.transactions * 1e3;
            std::printf("| %s | %d | %ld | %.3f | %.3f | %.3f |\n", write ? "Write" : "Read", baud,
                        r.transactions, per, silence, per - silence);
        }
    }
    return 0;
}
