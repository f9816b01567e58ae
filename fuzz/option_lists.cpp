// The option lists (N350ComboxList.DAT) over the real parameter definitions: any text attaches
// lists to records or ends the load, and never adds or moves a record.

#include "FuzzSupport.h"
#include "project/CM240Doc.h"
#include "project/DataPaths.h"

using pv::fuzz::Definitions;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PV_FUZZ_CHECK(!Definitions().groups.empty());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Only option lists change: those that did are put back before the next input.
    static pv::ParamTable* table = new pv::ParamTable(Definitions());
    const auto& before = Definitions();
    for (std::size_t g = 0; g < before.groups.size(); ++g)
        for (int i = 0; i < pv::kParamsPerGroup; ++i) {
            auto& options = table->groups[g].params[i].options;
            const auto& original = before.groups[g].params[i].options;
            if (options != original) options = original;
        }
    table->ParseOptionLists(pv::fuzz::AsText(data, size));
    PV_FUZZ_CHECK(table->groups.size() == before.groups.size());
    for (std::size_t g = 0; g < before.groups.size(); ++g)
        PV_FUZZ_CHECK(table->groups[g].params.size() == pv::kParamsPerGroup);
    return 0;
}
