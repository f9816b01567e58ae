#include "editing/ParamRow.h"

#include <cstdio>
#include <cstdlib>

#include "project/ParamTable.h"

namespace pv::editing {

namespace {

constexpr double kPow10[] = {1, 10, 100, 1000, 10000};

RowKind kindOf(std::int32_t valueKind) {
    switch (static_cast<ValueKind>(valueKind)) {
        case ValueKind::OneDecimal:
        case ValueKind::TwoDecimals:
        case ValueKind::ThreeDecimals:
        case ValueKind::FourDecimals:
            return RowKind::Decimal;
        case ValueKind::Hex:
            return RowKind::Hex;
        case ValueKind::Options:
            return RowKind::Options;
        case ValueKind::Date:
            return RowKind::Date;
        case ValueKind::ParamCodeRef:
            return RowKind::Code;
        case ValueKind::Integer:
            break;
    }
    return RowKind::Integer;
}

}  // namespace

ParamRow ParamRow::fromRecord(int group, int index, const ParamRecord& record) {
    ParamRow r;
    r.group = group;
    r.index = index;
    r.defined = record.defined != 0;
    r.valueKind = record.valueKind;
    r.kind = kindOf(record.valueKind);
    r.attr = record.attr;
    r.auxText = record.auxText;
    r.options = record.options;
    return r;
}

ParamRow ParamRow::make(int group, int index, ValueKind kind, std::int32_t minRaw,
                      std::int32_t maxRaw, std::int32_t flags) {
    ParamRow r;
    r.group = group;
    r.index = index;
    r.defined = true;
    r.valueKind = static_cast<std::int32_t>(kind);
    r.kind = kindOf(r.valueKind);
    r.attr[AttrMin] = minRaw;
    r.attr[AttrMax] = maxRaw;
    r.attr[AttrFlags] = flags | (minRaw < 0 ? FlagSigned : 0);
    r.attr[AttrNarrowMax] = maxRaw;
    if (kind == ValueKind::Options) {
        r.attr[AttrOptionOffset] = minRaw;
        for (std::int32_t v = minRaw; v <= maxRaw; ++v) r.options.push_back(std::to_string(v));
    }
    return r;
}

std::string ParamRow::code() const {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d-%02d", group % 100, index % 100);
    return buf;
}

double ParamRow::minFor(const DisplaySettings& s) const {
    return minRaw(attr, s) / kPow10[decimalsFor(s)];
}

double ParamRow::maxFor(const DisplaySettings& s) const {
    return maxRaw(attr, s) / kPow10[decimalsFor(s)];
}

std::string ParamRow::formatRaw(std::uint16_t reg, const DisplaySettings& s) const {
    return pv::formatRaw(valueKind, attr, rawFromRegister(attr, reg), s);
}

double ParamRow::valueOfRaw(std::uint16_t reg, const DisplaySettings& s) const {
    const std::int32_t raw = rawFromRegister(attr, reg);
    if (kind == RowKind::Decimal) return raw / kPow10[decimalsFor(s)];
    return raw;
}

bool ParamRow::parseText(const std::string& text, const DisplaySettings& s, std::uint16_t& reg,
                        double& value) const {
    std::string t = text;
    while (!t.empty() && (t.back() == '\r' || t.back() == ' ' || t.back() == '\t')) t.pop_back();
    std::int32_t raw = 0;
    if (!parseValueText(valueKind, attr, t, raw, s)) return false;
    if (raw < -32768 || raw > 65535) return false;
    reg = static_cast<std::uint16_t>(raw & 0xFFFF);
    value = kind == RowKind::Decimal ? std::strtod(t.c_str(), nullptr) : raw;
    return true;
}

}  // namespace pv::editing
