// The ladder program on a drive, timed: a full program (80 rows in use, every function block
// used) written to the virtual drive and read back at 9600 baud with the drive's replies held
// back as the line would (wire-time emulation, 8N2, 1 ms turnaround), each set against the line's
// limit (request and reply characters, turnaround and the 3.5-character silence per
// transaction); and one scan of that program by the engine the simulator and the virtual drive
// run.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

#include "BenchWire.h"
#include "app/FrameState.h"
#include "comm/CDriveSerial.h"
#include "comm/LinkState.h"
#include "comm/ReadCommand.h"
#include "comm/WriteCommand.h"
#include "plc/PlcEngine.h"
#include "project/CM240Doc.h"
#include "project/ModelTable.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kModel = 0x35003;
constexpr int kBaud = 9600;
constexpr double kBitsPerChar = 11.0;
constexpr auto kTurnaround = std::chrono::microseconds(1000);

// Every row holds three contacts and a coil; the coils name each block once, then Q and M coils.
void fullProgram(pv::PlcProgram& p) {
    const char* blocks[] = {"T", "C", "G", "F"};
    int row = 0;
    for (const char* kind : blocks)
        for (int n = 1; n <= 8; ++n) p.setCoil(row++, pv::kCoilOutput, kind[0], n);
    for (int n = 1; n <= 4; ++n) p.setBlockCoil(row++, "AS", n);
    for (int n = 1; n <= 4; ++n) p.setBlockCoil(row++, "MD", n);
    for (; row < pv::kLadderRows; ++row)
        p.setCoil(row, row % 2 ? pv::kCoilSet : pv::kCoilOutput, row % 3 ? 'M' : 'Q', row % 3 + 1);
    for (int r = 0; r < pv::kLadderRows; ++r) {
        p.setContact(r, 0, "ITCM"[r % 4], r % 8 + 1);
        p.setContact(r, 1, "itcmg"[r % 5], (r + 3) % 8 + 1);
        p.setWire(r, 2);
        if (r % 4 != 3) {
            p.cellText[r][pv::gapColumn(0)] = r % 4 ? pv::kGapLinkThrough : pv::kGapLinkDown;
            p.cellText[r + 1][pv::gapColumn(0)] = pv::kGapLinkUp;
        }
    }
    for (auto& t : p.timers) t[1] = 0x21;  // on-delay with a reset input, tenths
}

double lineLimit(long transactions, long chars) {
    const double charTime = kBitsPerChar / kBaud;
    return chars * charTime +
           transactions * (std::chrono::duration<double>(kTurnaround).count() +
                           std::max(3.5 * charTime, 0.00175));
}

}  // namespace

int main() {
    auto bus = std::make_shared<pv::bench::CountingBus>(std::string(PARVOLT_DATA_DIR) + "/");
    if (!bus->dataLoaded()) {
        std::fprintf(stderr, "no data files in %s\n", PARVOLT_DATA_DIR);
        return 1;
    }
    bus->addStation(1, kModel);
    pv::serial::setVirtualPeer(bus);
    bus->setWireTime(kBaud, kTurnaround);
    pv::comm::CDriveSerial link;
    if (link.InitComm("SIM", kBaud, 8, 0, 2.0f) == 0) return 1;
    pv::CM240Doc doc(std::string(PARVOLT_DATA_DIR) + "/");
    doc.OnNewDocument();
    doc.ApplyModelDefaultsFile(kModel, true);
    fullProgram(doc.plc);
    const pv::PlcProgram drawn = doc.plc;
    pv::FrameState frame;
    frame.setModel(kModel, pv::ModelNameForCode(kModel));
    pv::comm::LinkState linkState;
    linkState.linked = true;
    linkState.stations = {1};
    std::string lastError;

    std::printf("| PLC transfer at %d baud | Transactions | Characters | Line limit s | Measured s | Ratio |\n",
                kBaud);
    std::printf("|---|---|---|---|---|---|\n");
    for (bool write : {true, false}) {
        pv::ScriptedPrompts prompts;
        pv::TransferSelection plc;
        plc.plcProgram = true;
        prompts.transferAnswers.push_back(plc);
        prompts.yesNoCancelAnswers.push_back(pv::YesNoCancel::No);
        if (!write) doc.plc.reset();
        pv::comm::TransferContext ctx(link, prompts, doc, frame.projectFacts(), linkState, lastError);
        bus->reset();
        const auto t0 = Clock::now();
        const bool ok = write ? pv::comm::RunWriteCommand(ctx).result == pv::comm::CommandResult::Done
                              : pv::comm::RunReadCommand(ctx).result == pv::comm::CommandResult::Done;
        const double s = std::chrono::duration<double>(Clock::now() - t0).count();
        if (!ok) {
            std::fprintf(stderr, "transfer failed: %s\n", lastError.c_str());
            return 1;
        }
        const auto [transactions, chars] = bus->counts();
        const double limit = lineLimit(transactions, chars);
        std::printf("| %s | %ld | %ld | %.3f | %.3f | %.3f |\n", write ? "Write" : "Read",
                    transactions, chars, limit, s, s / limit);
    }
    for (int r = 0; r < pv::kLadderRows; ++r)
        if (doc.plc.rowListing(r) != drawn.rowListing(r)) std::fprintf(stderr, "row %d differs\n", r);
    link.Close();
    pv::serial::setVirtualPeer(nullptr);

    // The engine: scans of the full program with inputs changing every scan.
    pv::plc::PlcScanner scanner;
    constexpr int kScans = 200000;
    const auto t0 = Clock::now();
    for (int i = 0; i < kScans; ++i) {
        scanner.states.I[i % 8] = !scanner.states.I[i % 8];
        scanner.scan(drawn, 10);
    }
    const double us = std::chrono::duration<double, std::micro>(Clock::now() - t0).count() / kScans;
    std::printf("\n| Engine | Rows | Scans | Per scan us |\n|---|---|---|---|\n| PlcScanner::scan | %d | %d | %.2f |\n",
                pv::kLadderRows, kScans, us);
    return 0;
}
