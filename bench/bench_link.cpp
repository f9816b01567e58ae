// The drive link's own cost: transactions per second and software time per transaction over the
// in-process virtual wire and over a real pseudo-terminal, and how soon an exception reply and a
// short reply are recognised compared with the response time-out.
//
// Counters: tx_per_s (transactions per second, wall clock), cpu_us_per_tx (this thread's CPU time
// per transaction: the software overhead), gap_us (the inter-frame gap the line must keep, which
// bounds tx_per_s), detect_ms and of_timeout (time to a result and its share of the time-out).

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "comm/CDriveSerial.h"
#include "comm/Connect.h"
#include "comm/ModbusFrames.h"
#include "serial/VirtualWire.h"
#include "sim/PtyServer.h"
#include "sim/VirtualBus.h"

namespace {

using namespace std::chrono_literals;
using pv::comm::CDriveSerial;

constexpr std::uint32_t kModel = 0x35001;

struct VirtualSetup {
    std::shared_ptr<pv::sim::VirtualBus> bus =
        std::make_shared<pv::sim::VirtualBus>(PARVOLT_DATA_DIR);
    CDriveSerial link;
    explicit VirtualSetup(int baud) {
        bus->addStation(1, kModel);
        pv::serial::setVirtualPeer(bus);
        link.InitComm("SIM", baud, 8, 0, 1.0f);
    }
    ~VirtualSetup() { pv::serial::setVirtualPeer(nullptr); }
};

void report(benchmark::State& state, const CDriveSerial& link) {
    state.counters["tx_per_s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["gap_us"] = static_cast<double>(link.interFrameGap().count());
}

// Identification reads (13-00 and 13-01) back to back, the replies immediate: what is left is
// the inter-frame gap and the software.
void BM_ReadInProcess(benchmark::State& state) {
    VirtualSetup s(static_cast<int>(state.range(0)));
    std::uint8_t reply[pv::comm::ReadReplyLength(2)];
    for (auto _ : state) {
        if (pv::comm::ReadRegisters(s.link, 1, 0x0D00, 2, reply) != pv::serial::ErrNone)
            state.SkipWithError("transaction failed");
    }
    report(state, s.link);
}
BENCHMARK(BM_ReadInProcess)->Arg(115200)->Arg(9600)->UseRealTime()->MeasureProcessCPUTime();

// Same with the virtual drive holding each reply for its wire time at 9600 baud: the figure a
// real RS-485 line gives.
void BM_ReadInProcessWireTime9600(benchmark::State& state) {
    VirtualSetup s(9600);
    s.bus->setWireTime(9600, 0us);
    std::uint8_t reply[pv::comm::ReadReplyLength(32)];
    for (auto _ : state) {
        if (pv::comm::ReadRegisters(s.link, 1, 0x2520, 14, reply) != pv::serial::ErrNone)
            state.SkipWithError("transaction failed");
    }
    report(state, s.link);
}
BENCHMARK(BM_ReadInProcessWireTime9600)->UseRealTime()->MeasureProcessCPUTime();

// Over a real pseudo-terminal served by the virtual drive program's pty server.
void BM_ReadOverPty(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    pv::sim::VirtualBus bus(PARVOLT_DATA_DIR);
    bus.addStation(1, kModel);
    pv::sim::StreamOptions options;
    options.line.baud = baud;
    options.lengthFraming = true;
    pv::sim::PtyServer server(bus, options);
    std::string error;
    if (!server.open(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    server.start();
    CDriveSerial link;
    if (!link.InitComm(server.slavePath(), baud, 8, 0, 1.0f)) {
        state.SkipWithError(link.lastFailure().c_str());
        return;
    }
    std::uint8_t reply[pv::comm::ReadReplyLength(2)];
    for (auto _ : state) {
        if (pv::comm::ReadRegisters(link, 1, 0x0D00, 2, reply) != pv::serial::ErrNone)
            state.SkipWithError("transaction failed");
    }
    report(state, link);
    link.Close();
    server.stop();
}
BENCHMARK(BM_ReadOverPty)->Arg(115200)->Arg(9600)->UseRealTime()->MeasureProcessCPUTime();

// A 32-register read answered by an exception or cut short: the result comes at the end of the
// short frame, not at the 500 ms time-out.
void detect(benchmark::State& state, pv::sim::FaultKind kind, pv::serial::ErrType expected) {
    VirtualSetup s(9600);
    s.bus->setWireTime(9600, 0us);
    s.bus->faults(1).set(kind, pv::sim::FaultMode::Always);
    std::uint8_t reply[pv::comm::ReadReplyLength(32)];
    double total = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        if (pv::comm::ReadRegisters(s.link, 1, 0x0000, 32, reply) != expected)
            state.SkipWithError("unexpected result");
        total += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count();
    }
    const double ms = total / static_cast<double>(state.iterations());
    state.counters["detect_ms"] = ms;
    state.counters["of_timeout"] = ms / static_cast<double>(s.link.responseTimeout().count());
}
void BM_DetectExceptionReply(benchmark::State& state) {
    detect(state, pv::sim::FaultKind::Exception, pv::serial::ErrNone);
}
void BM_DetectShortReply(benchmark::State& state) {
    detect(state, pv::sim::FaultKind::Truncated, pv::serial::ErrMalformed);
}
BENCHMARK(BM_DetectExceptionReply)->UseRealTime()->MeasureProcessCPUTime();
BENCHMARK(BM_DetectShortReply)->UseRealTime()->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
