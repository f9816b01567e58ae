#include "editing/RowSpec.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pv::editing {

namespace {

constexpr double kPow10[] = {1, 10, 100, 1000, 10000};

std::string trimmed(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && (text[b] == ' ' || text[b] == '\t')) ++b;
    while (e > b && (text[e - 1] == ' ' || text[e - 1] == '\t' || text[e - 1] == '\r')) --e;
    return text.substr(b, e - b);
}

std::string formatFixed(double v, int decimals) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

}  // namespace

std::string RowSpec::code() const {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d-%02d", group % 100, index % 100);
    return buf;
}

int RowSpec::decimalsFor(const DisplaySettings& s) const {
    switch (resolution) {
        case Resolution::Frequency:
            return s.highFrequencyMode ? 1 : 2;
        case Resolution::Limit:
            if (!s.limitsInHertz) return 1;
            return s.highFrequencyMode ? 1 : 2;
        case Resolution::Fixed:
            break;
    }
    return kind == RowKind::Decimal ? decimals : 0;
}

double RowSpec::minFor(const DisplaySettings& s) const {
    if (resolution == Resolution::Fixed) return minValue;
    // A frequency row starting above zero starts at one step of its resolution.
    (void)s;
    return minValue <= 0 ? 0.0 : 0.1;
}

double RowSpec::maxFor(const DisplaySettings& s) const {
    switch (resolution) {
        case Resolution::Frequency:
            return s.highFrequencyMode ? 599.0 : 300.0;
        case Resolution::Limit:
            if (!s.limitsInHertz) return 109.0;
            return s.highFrequencyMode ? 599.0 : 300.0;
        case Resolution::Fixed:
            break;
    }
    return maxValue;
}

std::string RowSpec::rangeLabel(const DisplaySettings& s) const {
    switch (kind) {
        case RowKind::Code:
            return "00-01~23-79";
        case RowKind::Hex: {
            // A hexadecimal row with a gap shows its last valid value apart ("0~F,FF").
            char buf[48];
            if (group == 1 && index == 0)
                std::snprintf(buf, sizeof buf, "0~F,FF");
            else
                std::snprintf(buf, sizeof buf, "%X~%X", static_cast<unsigned>(minValue),
                              static_cast<unsigned>(maxValue));
            return buf;
        }
        case RowKind::Options:
        case RowKind::Integer: {
            char buf[48];
            std::snprintf(buf, sizeof buf, "%lld~%lld", std::llround(minValue),
                          std::llround(maxValue));
            return buf;
        }
        case RowKind::Decimal:
            break;
    }
    const int d = decimalsFor(s);
    return formatFixed(minFor(s), d) + "~" + formatFixed(maxFor(s), d);
}

double RowSpec::valueOfRaw(std::uint16_t raw, const DisplaySettings& s) const {
    const long v = isSigned() ? static_cast<std::int16_t>(raw) : static_cast<long>(raw);
    if (kind == RowKind::Decimal) return v / kPow10[decimalsFor(s)];
    return static_cast<double>(v);
}

std::string RowSpec::formatRaw(std::uint16_t raw, const DisplaySettings& s) const {
    char buf[48];
    switch (kind) {
        case RowKind::Hex:
            std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(raw));
            return buf;
        case RowKind::Code:
            std::snprintf(buf, sizeof buf, "%02d-%02d", raw >> 8, raw & 0xFF);
            return buf;
        case RowKind::Decimal:
            return formatFixed(valueOfRaw(raw, s), decimalsFor(s));
        case RowKind::Options:
        case RowKind::Integer:
            break;
    }
    std::snprintf(
        buf, sizeof buf, "%ld",
        isSigned() ? static_cast<long>(static_cast<std::int16_t>(raw)) : static_cast<long>(raw));
    return buf;
}

bool RowSpec::parseText(const std::string& input, const DisplaySettings& s, std::uint16_t& raw,
                        double& value) const {
    const std::string text = trimmed(input);
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    switch (kind) {
        case RowKind::Hex: {
            const unsigned long v = std::strtoul(text.c_str(), &end, 16);
            if (*end != '\0' || errno != 0 || text[0] == '-' || v > 0xFFFF) return false;
            raw = static_cast<std::uint16_t>(v);
            value = static_cast<double>(v);
            return true;
        }
        case RowKind::Code: {
            if (text.size() != 5 || text[2] != '-') return false;
            for (size_t i : {0u, 1u, 3u, 4u})
                if (text[i] < '0' || text[i] > '9') return false;
            const int g = (text[0] - '0') * 10 + (text[1] - '0');
            const int i = (text[3] - '0') * 10 + (text[4] - '0');
            raw = static_cast<std::uint16_t>(g * 256 + i);
            value = g * 100 + i;
            return true;
        }
        case RowKind::Decimal: {
            const double v = std::strtod(text.c_str(), &end);
            if (*end != '\0' || errno != 0 || !std::isfinite(v)) return false;
            const int d = decimalsFor(s);
            // The drive's conversion: a small bias against binary fractions (12.34 must not
            // become 1233), then truncation towards zero. Negative values are biased the other
            // way so that -5.0 stays -50.
            const double bias = v < 0 ? -0.001 : 0.001;
            const long long scaled = static_cast<long long>((v + bias) * kPow10[d]);
            raw = static_cast<std::uint16_t>(scaled & 0xFFFF);
            value = v;
            return true;
        }
        case RowKind::Options:
        case RowKind::Integer:
            break;
    }
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0) return false;
    raw = static_cast<std::uint16_t>(v & 0xFFFF);
    value = static_cast<double>(v);
    return true;
}

}  // namespace pv::editing
