// Redrawing the graph area with an hour of samples (36 000 per channel, four channels) with the
// whole hour in view, the worst case, and with the last minute in view while following. Each
// pixel column draws only its extremes, so the time depends on the width, not on the hour.
//
// Counters: ms_per_redraw, of_frame (ms_per_redraw / 16 ms, the goal at most 1).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "monitor/GraphRecording.h"
#include "monitor/ui/GraphView.h"

namespace {

pv::monitor::GraphRecording hour() {
    pv::monitor::GraphRecording rec;
    for (int c = 0; c < 4; ++c) {
        rec.channels[c].selection = 1 + c;
        rec.channels[c].maximum = "100";
    }
    rec.samples.reserve(36000);
    for (int i = 0; i < 36000; ++i) {
        pv::monitor::GraphSample s;
        s.time = i * 0.1;
        for (int c = 0; c < 4; ++c)
            s.values[c] = static_cast<float>(50 + 40 * std::sin(i * 0.001 * (c + 1)) + (i % 7));
        rec.samples.push_back(s);
    }
    return rec;
}

void redraw(benchmark::State& state, double span) {
    static const auto rec = hour();
    pv::ui::GraphView view(rec, nullptr);
    view.resize(1200, 600);
    view.setSpan(span);
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        QPainter p(&image);
        view.render(&p);
    }
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() /
        std::max<double>(1, static_cast<double>(state.iterations()));
    state.counters["ms_per_redraw"] = ms;
    state.counters["of_frame"] = ms / 16.0;
}

void BM_RedrawWholeHour(benchmark::State& state) {
    redraw(state, 3600);
}
void BM_RedrawLastMinute(benchmark::State& state) {
    redraw(state, 60);
}
BENCHMARK(BM_RedrawWholeHour)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RedrawLastMinute)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
