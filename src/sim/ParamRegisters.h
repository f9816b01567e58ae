#pragma once
// The parameter registers of one drive model: address, value at delivery, and the parameter's
// value kind and attribute integers, which give its accepted values, read-only flag and display
// format. Built once per model from the data files and shared by every virtual station of that
// model.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "project/ParamAttr.h"

namespace pv {
class ParamTable;
}

namespace pv::sim {

// Parameter groups a drive holds: 00..23 from the data files, 25..28 hidden (not in them).
inline constexpr int kLastParamGroup = 23;
inline constexpr int kHiddenFirst = 25, kHiddenLast = 28;
// Registers GG-00 .. GG-(kHiddenGroupSize-1) of each hidden group.
inline constexpr int kHiddenGroupSize = 50;

struct RegisterDef {
    std::uint16_t address = 0;
    std::uint16_t defaultRaw = 0;
    std::int32_t valueKind = 0;
    ParamAttrs attr{0, 0xFFFF, 0, 0, 0, 0, 0, 0, 0xFFFF, 0};

    // A plain integer register min..max.
    static RegisterDef plain(std::uint16_t address, std::uint16_t defaultRaw, std::int32_t min,
                             std::int32_t max, std::int32_t flags = 0);

    bool readOnly() const { return pv::readOnly(attr); }
    bool lockExempt() const { return hasFlag(attr, FlagLockExempt); }
    // Whether the drive takes this register value. Frequency rows are judged at both
    // resolutions (the master scales by the mode it believes the drive is in).
    bool accepts(std::uint16_t reg, bool limitsInHertz = false) const;
    // The text a user reads: "%d", "%X", "%.nf", "MM/DD", "GG-NN".
    std::string format(std::uint16_t reg) const;
    // Text in the same format back to a register value; nullopt for text of another kind.
    std::optional<std::uint16_t> parse(std::string_view text) const;
};

class ParamRegisterTable {
public:
    // The defined parameters of groups 00..23 of a loaded table, defaults as its default values
    // (so apply the model defaults to the table first).
    static ParamRegisterTable fromParamTable(const pv::ParamTable& table);

    // Adds or replaces the definition of def.address (groups 00..23 only).
    void add(const RegisterDef& def);
    const RegisterDef* find(std::uint16_t address) const;
    // Position of the address among all(), or -1.
    int slot(std::uint16_t address) const;
    const std::vector<RegisterDef>& all() const { return defs_; }
    bool empty() const { return defs_.empty(); }

private:
    static constexpr std::size_t kSpan = (kLastParamGroup + 1) * 256;
    std::vector<RegisterDef> defs_;
    std::vector<int> index_ = std::vector<int>(kSpan, -1);
};

// "GG-NN" -> register address; nullopt for anything else.
std::optional<std::uint16_t> registerOfCode(std::string_view code);
std::string codeOfRegister(std::uint16_t address);

}  // namespace pv::sim
