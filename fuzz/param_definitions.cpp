// The parameter definitions (N350PARAM.DAT): any text gives a table of whole groups of 100
// records that the flag tables can index, and the layers built from it (the register runs of a
// group read, the virtual drive's registers) take it without fault.

#include "FuzzSupport.h"
#include "comm/GroupRuns.h"
#include "project/ParamTable.h"
#include "sim/ParamRegisters.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pv::ParamTable table;
    table.ParseParamDefinitions(pv::fuzz::AsText(data, size));

    PV_FUZZ_CHECK(table.groups.size() <= static_cast<std::size_t>(pv::kGroupSlots));
    for (std::size_t g = 0; g < table.groups.size(); ++g) {
        const auto& group = table.groups[g];
        PV_FUZZ_CHECK(group.params.size() == pv::kParamsPerGroup);
        for (int i = 0; i < pv::kParamsPerGroup; ++i) {
            PV_FUZZ_CHECK((table.paramDefined[g][i] != 0) == (group.params[i].defined != 0));
            // A record whose label starts with a code stands at the position it names.
            if (const auto code = pv::ParseParamCode(group.params[i].code()))
                PV_FUZZ_CHECK(code->group == static_cast<int>(g) && code->index == i);
        }
        for (const auto& run : pv::comm::ReadRunsOfGroup(group)) {
            PV_FUZZ_CHECK(run.first >= 0 && run.count >= 1 && run.count <= 32);
            PV_FUZZ_CHECK(run.first + run.count <= pv::kParamsPerGroup);
        }
    }
    const auto registers = pv::sim::ParamRegisterTable::fromParamTable(table);
    for (const auto& def : registers.all()) {
        PV_FUZZ_CHECK(registers.find(def.address) == &def);
        const auto back = def.parse(def.format(def.defaultRaw));
        (void)back;
    }
    return 0;
}
