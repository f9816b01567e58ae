#pragma once
// How one parameter is edited, shown and sent: widget kind, range, decimals, hexadecimal text,
// option list, read-only, and whether its resolution follows the drive's frequency setting.
// Derived from the parameter database, so the editors, the write rules, the group transfer,
// imports and the virtual drive all agree on what a value means on the wire.

#include <cstdint>
#include <string>
#include <vector>

namespace pv {
struct ParamRecord;
}

namespace pv::editing {

enum class RowKind : std::uint8_t {
    Options,  // a list; the register holds the item's position plus the row's offset
    Integer,  // "%d"
    Decimal,  // one to four decimals, scaled by 10^n on the wire
    Hex,      // "%X"
    Code,     // a parameter code "GG-NN" (user-parameter rows), sent as group * 256 + index
};

// Rows whose resolution is not fixed but follows a drive setting.
enum class Resolution : std::uint8_t {
    Fixed,
    Frequency,  // one decimal up to 599.0 in high-frequency mode, else two up to 300.00
    Limit,      // 00-12/00-13: a percentage 0.1~109.0 unless the limits are in hertz
};

// The drive settings that change how frequency rows are shown and converted.
struct DisplaySettings {
    bool highFrequencyMode = false;
    bool limitsInHertz = false;
};

struct RowSpec {
    int group = 0;
    int index = 0;
    bool defined = false;
    RowKind kind = RowKind::Integer;
    Resolution resolution = Resolution::Fixed;
    int decimals = 0;  // of Decimal rows with a fixed resolution
    double minValue = 0;
    double maxValue = 65535;
    int optionOffset = 0;  // register value of the first option
    bool readOnly = false;
    std::vector<std::string> options;

    // From a record of the parameter table: its attribute integers, value kind and options.
    static RowSpec fromRecord(int group, int index, const ParamRecord& record);

    std::string code() const;  // "GG-NN"
    std::uint16_t registerAddress() const {
        return static_cast<std::uint16_t>(group * 256 + index);
    }
    // Negative ranges travel as 16-bit two's complement.
    bool isSigned() const { return minValue < 0; }

    int decimalsFor(const DisplaySettings& s) const;
    double minFor(const DisplaySettings& s) const;
    double maxFor(const DisplaySettings& s) const;
    // The range label of the editors ("0.1~6000.0", "0~F,FF", "00-01~23-79").
    std::string rangeLabel(const DisplaySettings& s) const;

    // The text of a register value by the row's display format ("%d", "%X", "%.nf").
    std::string formatRaw(std::uint16_t raw, const DisplaySettings& s) const;
    // The engineering value a register value stands for (option rows: the register value).
    double valueOfRaw(std::uint16_t raw, const DisplaySettings& s) const;
    // Text back to a register value: hexadecimal text for hex rows, decimals as
    // trunc((value + 0.001) * 10^n), the low 16 bits of integers. False for text that is not a
    // number of the row's kind.
    bool parseText(const std::string& text, const DisplaySettings& s, std::uint16_t& raw,
                   double& value) const;
};

}  // namespace pv::editing
