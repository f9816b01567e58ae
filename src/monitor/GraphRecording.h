#pragma once
// The graph monitor's recording: the four channels' samples as numbers against seconds since
// Start, formatted only when drawn or exported, so an hour at ten samples a second stays under a
// megabyte. Also the sampling (the reads of one sample) and the CSV layout of an export.

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "monitor/DriveControl.h"
#include "monitor/GraphItems.h"
#include "monitor/PollScheduler.h"
#include "project/ProjectFrameItems.h"
#include "serial/CSerial.h"

namespace pv::monitor {

struct GraphSample {
    double time = 0;  // seconds since Start
    std::array<float, kGraphChannels> values{};
};

class GraphRecording {
public:
    std::array<GraphChannel, kGraphChannels> channels{};
    std::array<int, kGraphChannels> decimals{};  // of each channel's latest sample
    std::vector<GraphSample> samples;

    void clear() { samples.clear(); }
    // Converts one sample block by the channels' items.
    void add(double time, const SampleBlock& block, const SampleContext& ctx);
    std::size_t size() const { return samples.size(); }
    double duration() const { return samples.empty() ? 0.0 : samples.back().time; }
    // Smallest and largest value of a channel between two times; nullopt when none lies there.
    std::optional<std::pair<double, double>> range(int channel, double from, double to) const;
    // The first sample at or after `time`.
    std::size_t indexAt(double time) const;
};

// One sample: the command-source check (its input functions once a second), 10-34 (the PID decimals), then the three blocks. The
// check or a block failing ends the recording; a failed read of 10-34 shows its text and skips
// only this sample. The drive's frequency unit (01-02) is read with the first sample.
class GraphSampler {
public:
    // Before a new recording, while no sample runs.
    void reset() {
        unitKnown_ = false;
        check_.reset();
    }
    PollResult sample(serial::CSerial& link, int station, SampleBlock& block, SampleContext& ctx);

private:
    CommandSourceCheck check_;
    bool unitKnown_ = false;
    bool tenths_ = false;
    int pidDecimals_ = 0;
};

// The export's lines: the headings (an empty field, then each channel's item and unit), "Min",
// "Max", then one line per sample: number, the four values, the time.
std::vector<std::string> GraphCsvLines(const GraphRecording& recording);
// The line of sample `index`: "%d" of the index, the four values in their formats, the time.
std::string GraphSampleLine(const GraphRecording& recording, std::size_t index);
// The reverse: false when a line does not fit.
bool ParseGraphCsvLines(const std::vector<std::string>& lines, GraphRecording& recording);

}  // namespace pv::monitor
