#include "monitor/GraphRecording.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "drive/Registers.h"
#include "monitor/DriveControl.h"
#include "editing/CsvLines.h"
#include "res/MonitorTexts.h"

namespace pv::monitor {

namespace {

constexpr int kMaxPidDecimals = 4;

bool number(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == '\0' && std::isfinite(value);
}

int decimalsOf(const std::string& text) {
    const auto dot = text.find('.');
    return dot == std::string::npos ? 0 : static_cast<int>(text.size() - dot - 1);
}

// The item whose name and unit make up an export heading.
int itemOfHeading(const std::string& heading) {
    const auto& items = GraphItems();
    for (int i = 0; i < kGraphItemCount; ++i)
        if (heading == ItemHeading(items[static_cast<size_t>(i)])) return i;
    return -1;
}

}  // namespace

void GraphRecording::add(double time, const SampleBlock& block, const SampleContext& ctx) {
    GraphSample s;
    s.time = time;
    for (int c = 0; c < kGraphChannels; ++c) {
        const GraphItem& item = GraphItemAt(channels[static_cast<size_t>(c)].selection);
        s.values[static_cast<size_t>(c)] = static_cast<float>(ItemValue(item, block, ctx));
        decimals[static_cast<size_t>(c)] = ItemDecimals(item, ctx);
    }
    samples.push_back(s);
}

std::size_t GraphRecording::indexAt(double time) const {
    return static_cast<std::size_t>(
        std::lower_bound(samples.begin(), samples.end(), time,
                         [](const GraphSample& s, double t) { return s.time < t; }) -
        samples.begin());
}

std::optional<std::pair<double, double>> GraphRecording::range(int channel, double from,
                                                               double to) const {
    std::optional<std::pair<double, double>> r;
    for (std::size_t i = indexAt(from); i < samples.size() && samples[i].time <= to; ++i) {
        const double v = samples[i].values[static_cast<size_t>(channel)];
        if (!r)
            r = std::pair{v, v};
        else
            r = std::pair{std::min(r->first, v), std::max(r->second, v)};
    }
    return r;
}

PollResult GraphSampler::sample(serial::CSerial& link, int station, SampleBlock& block,
                                SampleContext& ctx) {
    std::string error;
    if (!check_.run(link, station, error)) return PollResult::stop(error);
    if (!unitKnown_) {
        std::uint16_t maxFrequency = 0;
        if (!ReadBlock(link, station, drive::kRegMaxFrequency, 1, &maxFrequency, error))
            return PollResult::stop(error);
        tenths_ = LimitsFromWords({.maxMotor1 = maxFrequency}, false).tenths;
        unitKnown_ = true;
    }
    std::uint16_t pid = 0;
    if (!ReadBlock(link, station, kRegPidDecimals, 1, &pid, error)) return PollResult::skip(error);
    pidDecimals_ = std::min<int>(pid, kMaxPidDecimals);
    std::array<std::uint16_t, kSampleStatusCount> status{};
    std::array<std::uint16_t, kSampleMonitorCount> first{}, second{};
    if (!ReadBlock(link, station, kSampleStatusFirst, kSampleStatusCount, status.data(), error) ||
        !ReadBlock(link, station, kSampleMonitorFirst, kSampleMonitorCount, first.data(), error) ||
        !ReadBlock(link, station, kSampleMonitorSecond, kSampleMonitorCount, second.data(), error))
        return PollResult::stop(error);
    block = MapSampleBlock(status, first, second);
    ctx.frequencyTenths = tenths_;
    ctx.pidDecimals = pidDecimals_;
    return PollResult::ok();
}

std::vector<std::string> GraphCsvLines(const GraphRecording& r) {
    std::vector<std::string> lines;
    std::string names, mins = res::monitor::kMinLabel, maxs = res::monitor::kMaxLabel;
    for (const auto& ch : r.channels) {
        names += "," + ItemHeading(GraphItemAt(ch.selection));
        mins += "," + ch.minimum;
        maxs += "," + ch.maximum;
    }
    lines.push_back(names);
    lines.push_back(mins);
    lines.push_back(maxs);
    lines.reserve(r.samples.size() + 3);
    for (std::size_t i = 0; i < r.samples.size(); ++i) lines.push_back(GraphSampleLine(r, i));
    return lines;
}

std::string GraphSampleLine(const GraphRecording& r, std::size_t i) {
    std::string line = std::to_string(i);
    for (int c = 0; c < kGraphChannels; ++c)
        line += "," + FormatValue(r.samples[i].values[static_cast<size_t>(c)],
                                  r.decimals[static_cast<size_t>(c)]);
    return line + "," + FormatValue(r.samples[i].time, 3);
}

bool ParseGraphCsvLines(const std::vector<std::string>& lines, GraphRecording& out) {
    constexpr std::size_t kFields = kGraphChannels + 1;
    if (lines.size() < 3) return false;
    const auto names = SplitCsvFields(lines[0]), mins = SplitCsvFields(lines[1]),
               maxs = SplitCsvFields(lines[2]);
    if (names.size() != kFields || mins.size() != kFields || maxs.size() != kFields ||
        !names[0].empty() || mins[0] != res::monitor::kMinLabel ||
        maxs[0] != res::monitor::kMaxLabel)
        return false;
    GraphRecording r;
    for (int c = 0; c < kGraphChannels; ++c) {
        const auto k = static_cast<size_t>(c + 1);
        const int item = itemOfHeading(names[k]);
        double lo = 0, hi = 0;
        if (item < 0 || !number(mins[k], lo) || !number(maxs[k], hi)) return false;
        auto& ch = r.channels[static_cast<size_t>(c)];
        ch.selection = item;
        ch.itemName = GraphItemAt(item).name;
        ch.minimum = mins[k];
        ch.maximum = maxs[k];
    }
    r.samples.reserve(lines.size() - 3);
    for (std::size_t i = 3; i < lines.size(); ++i) {
        if (lines[i].empty() && i + 1 == lines.size()) break;
        const auto f = SplitCsvFields(lines[i]);
        if (f.size() != kFields + 1) return false;
        GraphSample s;
        double index = 0;
        if (!number(f[0], index) || !number(f[kFields], s.time)) return false;
        for (int c = 0; c < kGraphChannels; ++c) {
            double v = 0;
            if (!number(f[static_cast<size_t>(c + 1)], v)) return false;
            s.values[static_cast<size_t>(c)] = static_cast<float>(v);
            // A number cell loses its trailing zeros: the item's own format wins, and only the
            // PID items (whose decimals the drive chooses) take theirs from the file.
            const GraphItem& item = GraphItemAt(r.channels[static_cast<size_t>(c)].selection);
            if (i == 3)
                r.decimals[static_cast<size_t>(c)] =
                    item.kind == GraphItem::Scale::Pid ? decimalsOf(f[static_cast<size_t>(c + 1)])
                                                       : item.decimals;
        }
        r.samples.push_back(s);
    }
    out = std::move(r);
    return true;
}

}  // namespace pv::monitor
