// Export and Import of a whole project (every defined parameter of the shipped data files) as a
// CSV file and as an .xlsx workbook, through the same workflows the commands run. Each figure
// is also given as a multiple of saving the project file (x_project_save), so it reads the same
// on a fast and a slow machine.
// Run: build/bin/bench_exchange
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "editing/ParamExchange.h"
#include "project/CM240Doc.h"
#include "res/ScriptedPrompts.h"

namespace {

const std::string kData = std::string(PARVOLT_DATA_DIR) + "/";
using Clock = std::chrono::steady_clock;

std::string tempFile(const std::string& name) {
    static const std::string dir = [] {
        std::string templ = (std::filesystem::temp_directory_path() / "pvbench-XXXXXX").string();
        return std::string(::mkdtemp(templ.data())) + "/";
    }();
    return dir + name;
}

pv::CM240Doc& project() {
    static pv::CM240Doc doc = [] {
        pv::CM240Doc d(kData);
        d.OnNewDocument();
        d.ApplyModelDefaultsFile(0x35021, true);
        return d;
    }();
    return doc;
}

// Seconds one project save takes, measured once.
double projectSaveSeconds() {
    static const double seconds = [] {
        pv::ProjectFrameItems frame;
        frame.modelCode = 0x35021;
        frame.modelName = "N350-401-H";
        constexpr int kRuns = 50;
        const auto start = Clock::now();
        for (int i = 0; i < kRuns; ++i) project().SaveProject(tempFile("p.nf3"), frame);
        return std::chrono::duration<double>(Clock::now() - start).count() / kRuns;
    }();
    return seconds;
}

// Runs `once` per iteration and reports the multiple of a project save.
template <typename F>
void measure(benchmark::State& state, F once) {
    const double reference = projectSaveSeconds();
    const auto start = Clock::now();
    for (auto _ : state) benchmark::DoNotOptimize(once());
    const double each = std::chrono::duration<double>(Clock::now() - start).count() /
                        static_cast<double>(state.iterations());
    state.counters["x_project_save"] = each / reference;
    state.counters["parameters"] = project().table.definedParamCount();
}

bool exportTo(const std::string& path, pv::ExchangeFormat format) {
    pv::ScriptedPrompts prompts;
    prompts.fileAnswers.push_back(path);
    return pv::ExportParameters(project(), "N350-401-H", format, prompts);
}

bool importFrom(const std::string& path) {
    pv::ScriptedPrompts prompts;
    prompts.fileAnswers.push_back(path);
    return pv::ImportParameters(project(), prompts, {});
}

void BM_ExportCsv(benchmark::State& state) {
    measure(state, [] { return exportTo(tempFile("p.csv"), pv::ExchangeFormat::Csv); });
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond);

void BM_ImportCsv(benchmark::State& state) {
    exportTo(tempFile("in.csv"), pv::ExchangeFormat::Csv);
    measure(state, [] { return importFrom(tempFile("in.csv")); });
}
BENCHMARK(BM_ImportCsv)->Unit(benchmark::kMillisecond);

void BM_ExportXlsx(benchmark::State& state) {
    measure(state, [] { return exportTo(tempFile("p.xlsx"), pv::ExchangeFormat::Excel); });
}
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond);

void BM_ImportXlsx(benchmark::State& state) {
    exportTo(tempFile("in.xlsx"), pv::ExchangeFormat::Excel);
    measure(state, [] { return importFrom(tempFile("in.xlsx")); });
}
BENCHMARK(BM_ImportXlsx)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
