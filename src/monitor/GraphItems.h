#pragma once
// The quantities a graph channel can show, where each comes from in the sample block and how its
// 16-bit word becomes a number. The position in the list is what the project stores as a
// channel's selection, so new items go at the end.

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace pv::monitor {

// One sample's words, laid out as the drive tool always has: words 0-4 are 0x2523..0x2527,
// 5-14 are 12-21..12-30, 15-16 are 12-32 and 12-33, 17-26 are 12-35..12-44, 27-28 are 12-18 and
// 12-19; word 29, 12-34, is read anyway by the third request and serves "PG Compensation".
inline constexpr int kSampleWords = 30;
struct SampleBlock {
    std::array<std::uint16_t, kSampleWords> words{};
};

// The three requests of a sample: 5 words from 0x2523, 13 from 12-18 and 13 from 12-32.
inline constexpr std::uint16_t kSampleStatusFirst = 0x2523;
inline constexpr int kSampleStatusCount = 5;
inline constexpr std::uint16_t kSampleMonitorFirst = 0x0C12;  // 12-18
inline constexpr std::uint16_t kSampleMonitorSecond = 0x0C20;  // 12-32
inline constexpr int kSampleMonitorCount = 13;
inline constexpr std::uint16_t kRegPidDecimals = 0x0A22;  // 10-34

SampleBlock MapSampleBlock(std::span<const std::uint16_t, kSampleStatusCount> status,
                           std::span<const std::uint16_t, kSampleMonitorCount> from1218,
                           std::span<const std::uint16_t, kSampleMonitorCount> from1232);

struct GraphItem {
    enum class Scale {
        None,       // draws nothing
        Fixed,      // word x scale
        Frequency,  // x 0.01, or x 0.1 while the drive's frequencies come in 0.1 Hz
        Pid,        // x 10^-n by the drive's PID decimals (10-34)
    };
    const char* name;
    Scale kind;
    int word;  // in the sample block; -1 for none
    double scale;
    int decimals;
    bool isSigned;
    const char* unit;
};

inline constexpr int kGraphItemCount = 29;
const std::array<GraphItem, kGraphItemCount>& GraphItems();
// The position of a name in the list; 0 ("NONE") for a name it does not hold.
int GraphItemIndex(std::string_view name);
const GraphItem& GraphItemAt(int selection);

// What the drive said alongside the sample.
struct SampleContext {
    bool frequencyTenths = false;
    int pidDecimals = 0;  // 0..4
};

double ItemValue(const GraphItem& item, const SampleBlock& block, const SampleContext& ctx);
int ItemDecimals(const GraphItem& item, const SampleContext& ctx);
// "%.Nf" of the value ("%d" style for no decimals).
std::string FormatValue(double value, int decimals);
// The item's name followed directly by its unit, as the export's first line has it.
std::string ItemHeading(const GraphItem& item);

}  // namespace pv::monitor
