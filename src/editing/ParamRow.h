#pragma once
// How one parameter is edited, shown and sent: widget kind, range, decimals, hexadecimal text,
// option list, read-only, and whether its resolution follows the drive's frequency setting.
// Derived from the parameter database, so the editors, the write rules, the group transfer,
// imports and the virtual drive all agree on what a value means on the wire.

#include <cstdint>
#include <string>
#include <vector>

#include "project/ParamAttr.h"

namespace pv {
struct ParamRecord;
}

namespace pv::editing {

enum class RowKind : std::uint8_t {
    Options,  // a list; the register holds the item's position plus the row's offset
    Integer,  // "%d"
    Decimal,  // one to four decimals, scaled by 10^n on the wire
    Hex,      // "%X"
    Date,     // "MM/DD"
    Code,     // a parameter code "GG-NN" (user-parameter rows), sent as group * 256 + index
};

// The drive settings that change how frequency rows are shown and converted.
using DisplaySettings = ParamDisplaySettings;

struct ParamRow {
    int group = 0;
    int index = 0;
    bool defined = false;
    RowKind kind = RowKind::Integer;
    std::int32_t valueKind = 0;
    ParamAttrs attr{};
    std::string auxText;  // the range label as the drive's manual writes it
    std::vector<std::string> options;

    // From a record of the parameter table: its value kind, attribute integers and options.
    static ParamRow fromRecord(int group, int index, const ParamRecord& record);
    // A row built by hand (tools and tests): raw bounds as the drive holds them.
    static ParamRow make(int group, int index, ValueKind kind, std::int32_t minRaw,
                        std::int32_t maxRaw, std::int32_t flags = 0);

    std::string code() const;  // "GG-NN"
    std::uint16_t registerAddress() const {
        return static_cast<std::uint16_t>(group * 256 + index);
    }
    bool readOnly() const { return pv::readOnly(attr); }
    bool hasFlag(std::int32_t flag) const { return pv::hasFlag(attr, flag); }
    bool isSigned() const { return isSigned16(attr); }
    int optionOffset() const { return pv::optionOffset(attr); }

    int decimalsFor(const DisplaySettings& s) const { return decimals(valueKind, attr, s); }
    // Bounds as engineering values (raw / 10^decimals).
    double minFor(const DisplaySettings& s) const;
    double maxFor(const DisplaySettings& s) const;
    // The range label of the editors ("0.1~6000.0", "0~F,FF", "00-01~23-79").
    std::string rangeLabel(const DisplaySettings& s) const {
        return pv::rangeLabel(valueKind, attr, auxText, s);
    }

    // The text of a register value by the row's display format ("%d", "%X", "%.nf").
    std::string formatRaw(std::uint16_t reg, const DisplaySettings& s) const;
    // The engineering value a register value stands for (option rows: the register value).
    double valueOfRaw(std::uint16_t reg, const DisplaySettings& s) const;
    // Text back to a register value: hexadecimal text for hex rows, decimals as
    // trunc((value + 0.001) * 10^n), the low 16 bits of integers. False for text that is not a
    // number of the row's kind. `value` receives the engineering value.
    bool parseText(const std::string& text, const DisplaySettings& s, std::uint16_t& reg,
                   double& value) const;
};

}  // namespace pv::editing
