// A scan of stations 1..32 with two drives present, over a real pseudo-terminal served by the
// virtual drive program's pty server at 9600 baud 8N2, the replies held for their wire time.
// Set against the least a scan can cost: a response time-out for each of the 30 silent stations
// plus the characters of the 32 requests and of the two replies at the baud rate. A ratio near 1
// means the scan adds nothing but one time-out per silent station; the remainder is mostly the
// inter-frame silence Modbus RTU requires before each request (3.5 characters).
//
// Counters: scan_ms (wall clock of one scan), floor_ms (that least cost), ratio, drives (must
// be 2).

#include <benchmark/benchmark.h>

#include <chrono>
#include <numeric>
#include <vector>

#include "comm/CDriveSerial.h"
#include "comm/ModbusFrames.h"
#include "comm/Scan.h"
#include "sim/PtyServer.h"
#include "sim/VirtualBus.h"

namespace {

constexpr int kBaud = 9600;
constexpr double kBitsPerChar = 11.0;  // 8 data bits, no parity, 2 stop bits

void BM_ScanOverPty(benchmark::State& state) {
    const int timeoutMs = static_cast<int>(state.range(0));
    pv::sim::VirtualBus bus(PARVOLT_DATA_DIR);
    bus.addStation(3, 0x35001);
    bus.addStation(17, 0x35022);
    pv::sim::StreamOptions options;
    options.line.baud = kBaud;
    options.wireTime = true;
    pv::sim::PtyServer server(bus, options);
    std::string error;
    if (!server.open(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    server.start();
    pv::comm::CDriveSerial link;
    if (!link.InitComm(server.slavePath(), kBaud, 8, 0, 2.0f)) {
        state.SkipWithError(link.lastFailure().c_str());
        return;
    }
    link.setResponseTimeout(std::chrono::milliseconds(timeoutMs));
    std::vector<int> stations(32);
    std::iota(stations.begin(), stations.end(), 1);

    double totalMs = 0;
    int drives = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const auto outcome = pv::comm::ScanStations(link, stations);
        totalMs +=
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        drives = outcome.drives();
    }
    const double charMs = 1000.0 * kBitsPerChar / kBaud;
    const double wireMs =
        charMs * (32.0 * pv::comm::kReadRequestLength + 2.0 * pv::comm::ReadReplyLength(2));
    const double floorMs = 30.0 * timeoutMs + wireMs;
    const double scanMs = totalMs / static_cast<double>(state.iterations());
    state.counters["scan_ms"] = scanMs;
    state.counters["floor_ms"] = floorMs;
    state.counters["ratio"] = scanMs / floorMs;
    state.counters["drives"] = drives;
    link.Close();
    server.stop();
}
BENCHMARK(BM_ScanOverPty)
    ->Arg(500)
    ->Arg(100)
    ->Iterations(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
