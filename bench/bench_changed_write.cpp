// Writing only what changed against writing everything: a project that differs from the drive in
// ten parameters, written to the virtual drive with wire-time emulation at 9600 baud 8N2, once as
// a full Write and once with changed-only (the drive's groups read first, then only the frames
// carrying a differing value). Prints both times and their ratio, the transactions of each, and
// whether the read-back of --verify finds the drive holding what was sent.
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "app/FrameState.h"
#include "comm/CDriveSerial.h"
#include "comm/LinkState.h"
#include "comm/WriteCommand.h"
#include "project/CM240Doc.h"
#include "project/ModelTable.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::uint32_t kModel = 0x35003;  // N350-202-H
constexpr int kBaud = 9600;

// Ten parameters in five groups, with values the drive does not hold at delivery.
const std::pair<const char*, const char*> kChanges[] = {
    {"00-14", "12.5"}, {"00-15", "13.5"}, {"00-16", "14.5"}, {"00-17", "15.5"},
    {"00-18", "7.00"}, {"04-01", "0.05"}, {"04-02", "90.0"}, {"05-01", "6.00"},
    {"05-02", "7.00"}, {"05-03", "11.00"},
};

struct Run {
    double seconds = 0;
    int transactions = 0;
    int sent = 0;
    std::size_t verifyDifferences = 0;
    bool ok = false;
};

Run write(pv::sim::VirtualBus& bus, bool changedOnly) {
    const std::string data = std::string(PARVOLT_DATA_DIR) + "/";
    // The drive as delivered, the project with the ten changes.
    bus.addStation(1, kModel);
    pv::CM240Doc doc(data);
    doc.OnNewDocument();
    doc.ApplyModelDefaultsFile(kModel, true);
    for (const auto& [code, value] : kChanges) doc.table.record(std::string_view(code))->setValue = value;
    pv::FrameState frame;
    frame.setModel(kModel, pv::ModelNameForCode(kModel));
    pv::comm::LinkState linkState;
    linkState.linked = true;
    linkState.stations = {1};
    linkState.modelCode = kModel;
    pv::comm::CDriveSerial link;
    Run run;
    if (link.InitComm("SIM", kBaud, 8, 0, 2.0f) == 0) return run;
    pv::ScriptedPrompts prompts;
    std::string lastError;
    pv::comm::TransferContext ctx(link, prompts, doc, frame.projectFacts(), linkState, lastError);
    ctx.changedOnly = changedOnly;
    const auto start = Clock::now();
    const auto out = pv::comm::RunWriteCommand(ctx);
    run.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    run.transactions = out.transactions;
    run.sent = out.parametersSent;
    run.ok = out.result == pv::comm::CommandResult::Done;
    link.Close();
    // What the drive now holds against the project, for the changed parameters.
    for (const auto& [code, value] : kChanges)
        if (bus.station(1)->valueOf(code) != value) ++run.verifyDifferences;
    return run;
}

}  // namespace

int main() {
    const std::string data = std::string(PARVOLT_DATA_DIR) + "/";
    Run runs[2];
    for (int changedOnly = 0; changedOnly < 2; ++changedOnly) {
        auto bus = std::make_shared<pv::sim::VirtualBus>(data);
        bus->setWireTime(kBaud, std::chrono::microseconds(1000));
        pv::serial::setVirtualPeer(bus);
        runs[changedOnly] = write(*bus, changedOnly != 0);
        pv::serial::setVirtualPeer(nullptr);
        if (!runs[changedOnly].ok) {
            std::fprintf(stderr, "the %s write failed\n", changedOnly ? "changed-only" : "full");
            return 1;
        }
    }
    std::printf("full Write          %7.2f s  %4d transactions  drive differs in %zu of 10\n",
                runs[0].seconds, runs[0].transactions, runs[0].verifyDifferences);
    std::printf("changed-only Write  %7.2f s  %4d transactions  %d values sent, differs in %zu\n",
                runs[1].seconds, runs[1].transactions, runs[1].sent, runs[1].verifyDifferences);
    std::printf("changed-only / full = %.3f (9600 baud 8N2, wire-time emulation)\n",
                runs[1].seconds / runs[0].seconds);
    return 0;
}
