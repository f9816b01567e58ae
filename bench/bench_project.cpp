// Costs of the project core: loading the data files, creating, saving and opening a project.
// Run: build/bin/bench_project (the data files of the source tree are used).
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "app/FrameState.h"
#include "app/ProjectActions.h"
#include "project/CM240Doc.h"
#include "project/ModelTable.h"
#include "project/ParamTable.h"
#include "res/ScriptedPrompts.h"

namespace {

const std::string kData = std::string(PARVOLT_DATA_DIR) + "/";

std::string tempDir() {
    static const std::string dir = [] {
        std::string templ = (std::filesystem::temp_directory_path() / "pvbench-XXXXXX").string();
        return std::string(::mkdtemp(templ.data())) + "/";
    }();
    return dir;
}

// The frame items of a 400 V project, as the desktop program saves them.
pv::ProjectFrameItems sampleFrame() {
    pv::ProjectFrameItems frame;
    frame.modelCode = 0x35021;
    frame.modelName = "N350-401-H";
    return frame;
}

void BM_LoadParamDefinitions(benchmark::State& state) {
    for (auto _ : state) {
        pv::ParamTable t;
        t.LoadParamDefinitions(kData + "N350PARAM.DAT");
        benchmark::DoNotOptimize(t.groups.data());
    }
}
BENCHMARK(BM_LoadParamDefinitions)->Unit(benchmark::kMicrosecond);

void BM_LoadAllDataFiles(benchmark::State& state) {
    for (auto _ : state) {
        pv::CM240Doc doc(kData);
        doc.LoadParameterDatabase();
        doc.ApplyModelDefaultsFile(0x35021, true);
        benchmark::DoNotOptimize(doc.table.groups.data());
    }
}
BENCHMARK(BM_LoadAllDataFiles)->Unit(benchmark::kMicrosecond);

void BM_NewProject(benchmark::State& state) {
    for (auto _ : state) {
        pv::FrameState frame;
        pv::ScriptedPrompts prompts;
        pv::ProjectSession session(frame, prompts, kData);
        benchmark::DoNotOptimize(session.newProject("N350-401-H"));
    }
}
BENCHMARK(BM_NewProject)->Unit(benchmark::kMicrosecond);

void BM_EncodeProject(benchmark::State& state) {
    pv::CM240Doc doc(kData);
    doc.OnNewDocument();
    const pv::ProjectFrameItems frame = sampleFrame();
    size_t bytes = 0;
    for (auto _ : state) {
        const auto image = doc.EncodeProject(frame);
        bytes = image.size();
        benchmark::DoNotOptimize(image.data());
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_EncodeProject)->Unit(benchmark::kMicrosecond);

// Save includes the temporary file, fsync and rename that keep the old file safe.
void BM_SaveProject(benchmark::State& state) {
    pv::CM240Doc doc(kData);
    doc.OnNewDocument();
    const pv::ProjectFrameItems frame = sampleFrame();
    const std::string path = tempDir() + "save.nf3";
    for (auto _ : state) benchmark::DoNotOptimize(doc.SaveProject(path, frame));
}
BENCHMARK(BM_SaveProject)->Unit(benchmark::kMicrosecond);

void BM_OpenProject(benchmark::State& state) {
    pv::CM240Doc doc(kData);
    doc.OnNewDocument();
    const pv::ProjectFrameItems frame = sampleFrame();
    const std::string path = tempDir() + "open.nf3";
    doc.SaveProject(path, frame);
    for (auto _ : state) {
        pv::FrameState f;
        pv::ScriptedPrompts prompts;
        pv::ProjectSession session(f, prompts, kData);
        benchmark::DoNotOptimize(session.open(pv::OpenKind::GivenPath, path));
    }
}
BENCHMARK(BM_OpenProject)->Unit(benchmark::kMicrosecond);

// A damaged file is refused before the data files are read.
void BM_RefuseTruncatedProject(benchmark::State& state) {
    pv::CM240Doc doc(kData);
    doc.OnNewDocument();
    pv::ProjectFrameItems frame;
    auto image = doc.EncodeProject(frame);
    image.resize(image.size() - 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(doc.LoadProjectImage(image.data(), image.size(), frame));
}
BENCHMARK(BM_RefuseTruncatedProject)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
