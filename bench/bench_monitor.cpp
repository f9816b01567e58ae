// The graph monitor's sampling against the virtual drive holding each reply for its wire time:
// one sample is the command-source check, 10-34 and the three blocks (six transactions). The
// window starts a sample every 100 ms or, when one takes longer, as soon as the previous ended,
// so the rate it achieves is the smaller of 10 Hz and the rate samples can be taken back to back.
//
// Counters: samples_per_s (back to back), ms_per_sample, achieved_hz (what the window records),
// of_goal (achieved_hz / 10 Hz, the goal at 19200 baud and above).
//
// Also the memory an hour of recording takes: 36 000 samples of four channels, measured as the
// growth of the resident set while they are added (counter rss_growth_mb, goal at most 20 MB).

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>

#include "comm/CDriveSerial.h"
#include "drive/Registers.h"
#include "monitor/DriveControl.h"
#include "monitor/GraphRecording.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace {

using namespace std::chrono_literals;
using namespace pv::monitor;

double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4096.0 / (1024.0 * 1024.0);
}

void BM_GraphSampleAtBaud(benchmark::State& state) {
    const int baud = static_cast<int>(state.range(0));
    auto bus = std::make_shared<pv::sim::VirtualBus>(PARVOLT_DATA_DIR);
    bus->addStation(1, 0x35001);
    bus->setWireTime(baud, 0us);
    pv::serial::setVirtualPeer(bus);
    pv::comm::CDriveSerial link;
    link.InitComm("SIM", baud, 8, 0, 2.0f);
    GraphSampler sampler;
    SampleBlock block;
    SampleContext ctx;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        if (sampler.sample(link, 1, block, ctx).outcome != PollResult::Outcome::Ok)
            state.SkipWithError("sample failed");
    }
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                          .count() /
                      std::max<double>(1, static_cast<double>(state.iterations()));
    const double achieved = std::min(10.0, 1000.0 / ms);
    state.counters["samples_per_s"] = 1000.0 / ms;
    state.counters["ms_per_sample"] = ms;
    state.counters["achieved_hz"] = achieved;
    state.counters["of_goal"] = achieved / 10.0;
    pv::serial::setVirtualPeer(nullptr);
}
BENCHMARK(BM_GraphSampleAtBaud)
    ->Arg(9600)
    ->Arg(19200)
    ->Arg(38400)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);

void BM_HourOfRecording(benchmark::State& state) {
    constexpr int kSamples = 36000;  // one hour at 10 Hz
    for (auto _ : state) {
        state.PauseTiming();
        const double before = residentMb();
        state.ResumeTiming();
        GraphRecording rec;
        for (int c = 0; c < 4; ++c) rec.channels[c].selection = 1 + c;
        SampleBlock block;
        for (int i = 0; i < kSamples; ++i) {
            for (int k = 0; k < kSampleWords; ++k)
                block.words[k] = static_cast<std::uint16_t>((i * (k + 1)) & 0x3FFF);
            rec.add(i * 0.1, block, {true, 2});
        }
        benchmark::DoNotOptimize(rec.samples.data());
        state.PauseTiming();
        state.counters["rss_growth_mb"] = residentMb() - before;
        state.counters["bytes_per_sample"] =
            static_cast<double>(rec.samples.capacity() * sizeof(GraphSample)) / kSamples;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_HourOfRecording)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
