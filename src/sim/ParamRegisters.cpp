#include "sim/ParamRegisters.h"

#include <algorithm>
#include <cstdio>

#include "project/ParamTable.h"

namespace pv::sim {

RegisterDef RegisterDef::plain(std::uint16_t address, std::uint16_t defaultRaw, std::int32_t min,
                               std::int32_t max, std::int32_t flags) {
    RegisterDef d;
    d.address = address;
    d.defaultRaw = defaultRaw;
    d.attr[AttrMin] = min;
    d.attr[AttrMax] = max;
    d.attr[AttrNarrowMax] = max;
    d.attr[AttrFlags] = flags | (min < 0 ? FlagSigned : 0);
    return d;
}

bool RegisterDef::accepts(std::uint16_t reg, bool limitsInHertz) const {
    const std::int32_t raw = rawFromRegister(attr, reg);
    for (const bool high : {false, true}) {
        if (rawInRange(valueKind, attr, raw, {high, limitsInHertz})) return true;
        if (!frequencyDependent(attr) && !(limitUnitDependent(attr) && limitsInHertz)) break;
    }
    return false;
}

std::string RegisterDef::format(std::uint16_t reg) const {
    return formatRaw(valueKind, attr, rawFromRegister(attr, reg));
}

std::optional<std::uint16_t> RegisterDef::parse(std::string_view text) const {
    std::int32_t raw = 0;
    if (!parseValueText(valueKind, attr, std::string(text), raw)) return std::nullopt;
    if (raw < -32768 || raw > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(raw & 0xFFFF);
}

ParamRegisterTable ParamRegisterTable::fromParamTable(const pv::ParamTable& table) {
    ParamRegisterTable out;
    const int groups = std::min<int>(static_cast<int>(table.groups.size()), kLastParamGroup + 1);
    for (int g = 0; g < groups; ++g) {
        const auto& params = table.groups[static_cast<std::size_t>(g)].params;
        for (std::size_t i = 0; i < params.size() && i < 100; ++i) {
            const ParamRecord& rec = params[i];
            if (!rec.defined) continue;
            RegisterDef d;
            d.address = static_cast<std::uint16_t>(g * 256 + static_cast<int>(i));
            d.valueKind = rec.valueKind;
            d.attr = rec.attr;
            // A default the format cannot read falls back to the lowest accepted value.
            const auto raw = d.parse(rec.defaultValue);
            d.defaultRaw =
                raw && d.accepts(*raw) ? *raw : static_cast<std::uint16_t>(minRaw(d.attr) & 0xFFFF);
            out.add(d);
        }
    }
    return out;
}

void ParamRegisterTable::add(const RegisterDef& def) {
    if (def.address >= kSpan) return;
    int& at = index_[def.address];
    if (at >= 0) {
        defs_[static_cast<std::size_t>(at)] = def;
        return;
    }
    at = static_cast<int>(defs_.size());
    defs_.push_back(def);
}

const RegisterDef* ParamRegisterTable::find(std::uint16_t address) const {
    const int s = slot(address);
    return s < 0 ? nullptr : &defs_[static_cast<std::size_t>(s)];
}

int ParamRegisterTable::slot(std::uint16_t address) const {
    return address < kSpan ? index_[address] : -1;
}

std::optional<std::uint16_t> registerOfCode(std::string_view code) {
    if (code.size() != 5 || code[2] != '-') return std::nullopt;
    for (const std::size_t i : {0u, 1u, 3u, 4u})
        if (code[i] < '0' || code[i] > '9') return std::nullopt;
    const int group = (code[0] - '0') * 10 + (code[1] - '0');
    const int index = (code[3] - '0') * 10 + (code[4] - '0');
    return static_cast<std::uint16_t>(group * 256 + index);
}

std::string codeOfRegister(std::uint16_t address) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d-%02d", address >> 8, address & 0xFF);
    return buf;
}

}  // namespace pv::sim
