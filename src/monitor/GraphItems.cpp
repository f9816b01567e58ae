#include "monitor/GraphItems.h"

#include <cmath>
#include <cstdio>

namespace pv::monitor {

namespace {

using S = GraphItem::Scale;

// Words of the sample block by monitor parameter 12-NN.
constexpr int m(int index) {
    return index >= 35 ? 17 + index - 35 : index >= 32 ? 15 + index - 32 : index >= 21 ? 5 + index - 21 : 27 + index - 18;
}

const std::array<GraphItem, kGraphItemCount> kItems = {{
    {"NONE", S::None, -1, 0, 0, false, "()"},
    {"Setting Freq.", S::Frequency, 0, 0.01, 2, false, "(Hz)"},
    {"Output Freq.", S::Frequency, 1, 0.01, 2, false, "(Hz)"},
    {"DC Voltage", S::Fixed, 3, 0.1, 1, false, "(V)"},
    {"Output Current", S::Fixed, 4, 0.1, 1, false, "(A)"},
    {"Output KW", S::Fixed, m(21), 0.1, 1, false, "(KW)"},
    {"Motor Speed", S::Fixed, m(22), 0.1, 1, false, "(RPM)"},
    {"Output PF", S::Fixed, m(23), 0.01, 2, false, "()"},
    {"AI1 Input", S::Fixed, m(25), 0.1, 1, true, "(%)"},
    {"AI2 Input", S::Fixed, m(26), 0.1, 1, false, "(%)"},
    {"Torque Command", S::Fixed, m(27), 0.1, 1, true, "(%)"},
    {"Motor Current Iq", S::Fixed, m(28), 0.1, 1, true, "(%)"},
    {"Motor Current Id", S::Fixed, m(29), 0.1, 1, true, "(%)"},
    {"ASR Error", S::Fixed, m(30), 0.1, 1, true, "(%)"},
    {"ASR Output", S::Fixed, m(32), 0.1, 1, true, "(%)"},
    {"Zero Server pulse", S::Fixed, m(35), 1, 0, true, "(Pulse)"},
    {"PID Input", S::Fixed, m(36), 0.01, 2, true, "(%)"},
    {"PID Output", S::Fixed, m(37), 0.01, 2, true, "(%)"},
    {"PID Setpoint", S::Pid, m(38), 1, 0, false, "()"},
    {"PID Feedback", S::Pid, m(39), 1, 0, false, "()"},
    {"Output KWHr", S::Fixed, m(40), 0.1, 1, false, "(KWHr)"},
    {"Temperature", S::Fixed, m(41), 1, 0, false, "(Degree C)"},
    {"Output Voltage", S::Fixed, m(44), 0.1, 1, false, "(V)"},
    {"Pulse Input Freq.", S::Fixed, m(19), 1, 0, false, "(Hz)"},
    {"Control Mode", S::Fixed, m(24), 1, 0, false, "()"},
    {"PG Feedback", S::Fixed, m(33), 0.01, 2, true, "(Hz)"},
    {"PG Compensation", S::Fixed, 29, 0.1, 1, true, "(%)"},
    {"RS-485 Error code", S::Fixed, m(42), 1, 0, false, "()"},
    {"INV Status", S::Fixed, m(43), 1, 0, false, "()"},
}};

}  // namespace

SampleBlock MapSampleBlock(std::span<const std::uint16_t, kSampleStatusCount> status,
                           std::span<const std::uint16_t, kSampleMonitorCount> from1218,
                           std::span<const std::uint16_t, kSampleMonitorCount> from1232) {
    SampleBlock b;
    auto& w = b.words;
    for (int k = 0; k < 5; ++k) w[k] = status[k];
    for (int k = 0; k < 10; ++k) w[5 + k] = from1218[3 + k];    // 12-21..12-30
    w[15] = from1232[0];                                         // 12-32
    w[16] = from1232[1];                                         // 12-33
    for (int k = 0; k < 10; ++k) w[17 + k] = from1232[3 + k];   // 12-35..12-44
    w[27] = from1218[0];                                         // 12-18
    w[28] = from1218[1];                                         // 12-19
    w[29] = from1232[2];                                         // 12-34
    return b;
}

const std::array<GraphItem, kGraphItemCount>& GraphItems() {
    return kItems;
}

int GraphItemIndex(std::string_view name) {
    for (int i = 0; i < kGraphItemCount; ++i)
        if (name == kItems[static_cast<size_t>(i)].name) return i;
    return 0;
}

const GraphItem& GraphItemAt(int selection) {
    return kItems[selection >= 0 && selection < kGraphItemCount ? static_cast<size_t>(selection) : 0];
}

int ItemDecimals(const GraphItem& item, const SampleContext& ctx) {
    return item.kind == S::Pid ? ctx.pidDecimals : item.decimals;
}

double ItemValue(const GraphItem& item, const SampleBlock& block, const SampleContext& ctx) {
    if (item.kind == S::None || item.word < 0) return 0;
    const std::uint16_t raw = block.words[static_cast<size_t>(item.word)];
    const double v = item.isSigned ? static_cast<std::int16_t>(raw) : raw;
    switch (item.kind) {
        case S::Frequency:
            return v * (ctx.frequencyTenths ? 0.1 : 0.01);
        case S::Pid:
            return v * std::pow(10.0, -ctx.pidDecimals);
        default:
            return v * item.scale;
    }
}

std::string FormatValue(double value, int decimals) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    return buf;
}

std::string ItemHeading(const GraphItem& item) {
    return std::string(item.name) + item.unit;
}

}  // namespace pv::monitor
