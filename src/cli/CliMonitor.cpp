// parvolt-cli monitor: the graph monitor's sampling without a window, for a headless trace of a
// drive (remote commissioning, scripts, tests). The same reads and the same CSV as the graph.

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/CliLinkOptions.h"
#include "drive/Registers.h"
#include "monitor/DriveControl.h"
#include "monitor/GraphFile.h"
#include "monitor/GraphRecording.h"
#include "monitor/PollScheduler.h"
#include "res/EditingTexts.h"
#include "res/ExchangeTexts.h"
#include "res/MonitorTexts.h"

namespace pv::cli {

namespace {

const std::string kMonitorHelp =
    std::string(
        "Usage: parvolt-cli monitor --port PORT --station N [--items LIST] [--seconds S]\n"
        "                           [--run HZ] [-o FILE.csv]\n"
        "Samples up to four live quantities every 100 ms as the graph monitor does and prints\n"
        "them as the graph's CSV lines: the headings, Min, Max, then one line per sample\n"
        "(number, the four values, seconds since the start). A failed read ends the trace\n"
        "with its text; the samples so far are kept.\n\nOptions:\n"
        "  --station N        the drive's station number (default 1)\n"
        "  --items LIST       comma-separated items by name or list position, at most four\n"
        "                     (default \"Output Freq.,Output Current\"); 'parvolt-cli monitor\n"
        "                     --list' prints the items\n"
        "  --seconds S        how long to sample (default 10)\n"
        "  --run HZ           first set the frequency command and RUN; STOP at the end\n"
        "  -o FILE.csv        write the samples to FILE as the graph's export instead of\n"
        "                     printing them\n") +
    kLinkOptionsHelp;

bool parseItems(const std::string& text, std::array<GraphChannel, kGraphChannels>& channels,
                std::string& error) {
    std::vector<std::string> names;
    std::string cur;
    for (char c : text + ",") {
        if (c == ',') {
            if (!cur.empty()) names.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (names.size() > kGraphChannels) {
        error = "at most four items";
        return false;
    }
    for (std::size_t i = 0; i < names.size(); ++i) {
        long index = -1;
        int item = ParseNumber(names[i], index) ? static_cast<int>(index)
                                                : monitor::GraphItemIndex(names[i]);
        if (item <= 0 && names[i] != "NONE" && names[i] != "0") {
            error = "no such item: " + names[i];
            return false;
        }
        if (item >= monitor::kGraphItemCount) {
            error = "no such item: " + names[i];
            return false;
        }
        channels[i].selection = item;
        channels[i].itemName = monitor::GraphItemAt(item).name;
    }
    return true;
}

int runMonitor(const std::vector<std::string>& argsIn) {
    if (WantsHelp(argsIn)) return Usage(kMonitorHelp, true);
    std::vector<std::string> args = argsIn;
    if (args.size() == 1 && args[0] == "--list") {
        for (int i = 0; i < monitor::kGraphItemCount; ++i)
            std::printf("%d\t%s\n", i, monitor::ItemHeading(monitor::GraphItemAt(i)).c_str());
        return kExitOk;
    }
    std::string stationText = "1", items = "Output Freq.,Output Current", secondsText = "10",
                out, runText, error;
    TakeOption(args, "--station", stationText);
    TakeOption(args, "--items", items);
    TakeOption(args, "--seconds", secondsText);
    TakeOption(args, "-o", out);
    const bool run = TakeOption(args, "--run", runText);
    LinkOptions options;
    if (!ParseLinkOptions(args, options, error)) return BadUsage(error, kMonitorHelp);
    if (!args.empty()) return BadUsage("unexpected argument: " + args.front(), kMonitorHelp);
    long station = 0;
    if (!ParseNumber(stationText, station) || station < drive::kMinStation ||
        station > drive::kMaxStation)
        return BadUsage("station must be 1..32", kMonitorHelp);
    char* end = nullptr;
    const double seconds = std::strtod(secondsText.c_str(), &end);
    if (*end != '\0' || !(seconds > 0) || seconds > 86400)
        return BadUsage("seconds must be above 0 and at most 86400", kMonitorHelp);

    monitor::GraphRecording recording;
    if (!parseItems(items, recording.channels, error)) return BadUsage(error, kMonitorHelp);

    OpenLink open;
    if (!OpenLinkFromOptions(options, open, error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return kExitFailed;
    }
    auto& link = open.link.channel();
    const int st = static_cast<int>(station);
    if (run) {
        const std::string said =
            monitor::SetFrequency(link, st, runText, false, monitor::FrequencyEntry::SetButton);
        const auto w =
            said == res::kWriteSuccessful
                ? monitor::ModifyCommandWord(link, st, drive::kCmdRun, monitor::BitChange::Set)
                : monitor::WordChange{};
        if (!w.ok) {
            std::fprintf(stderr, "%s\n", w.error.empty() ? said.c_str() : w.error.c_str());
            return kExitFailed;
        }
    }

    const bool print = out.empty();
    if (print)
        for (const auto& line : monitor::GraphCsvLines(recording)) std::printf("%s\n", line.c_str());
    monitor::InlineExecutor executor;
    monitor::GraphSampler sampler;
    monitor::SampleBlock block;
    monitor::SampleContext ctx;
    const auto start = std::chrono::steady_clock::now();
    auto elapsed = [&] {
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::string failure;
    monitor::PollScheduler scheduler(
        executor, [&](int s) { return sampler.sample(link, s, block, ctx); },
        [&](const monitor::PollResult& r) {
            if (r.outcome != monitor::PollResult::Outcome::Ok) return;
            recording.add(elapsed(), block, ctx);
            if (print) {
                const auto line = monitor::GraphSampleLine(recording, recording.size() - 1);
                std::printf("%s\n", line.c_str());
                std::fflush(stdout);
            }
        },
        [&](const std::string& text) {
            std::fprintf(stderr, "%s\n", text.c_str());
            failure = text;
        });
    scheduler.setStation(st);
    scheduler.start();
    auto next = std::chrono::steady_clock::now();
    while (scheduler.running() && elapsed() < seconds) {
        scheduler.tick();
        // A sample that overran the period is followed at once by the next; no backlog builds up.
        next = std::max(next + std::chrono::milliseconds(100), std::chrono::steady_clock::now());
        std::this_thread::sleep_until(next);
    }
    if (run) monitor::ModifyCommandWord(link, st, drive::kCmdRun, monitor::BitChange::Clear);
    if (!print && !monitor::SaveGraphCsv(out, recording)) {
        std::fprintf(stderr, "%s\n", text::kOpenFileFailed);
        return kExitFailed;
    }
    std::fprintf(stderr, "%zu samples in %.1f s\n", recording.size(), elapsed());
    return scheduler.failed() ? kExitFailed : kExitOk;
}

}  // namespace

PV_CLI_COMMAND("monitor", "sample live drive values as the graph monitor does (CSV)", runMonitor);

}  // namespace pv::cli
