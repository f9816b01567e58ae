// The model defaults (N350InitialParam.dat) applied to the real parameter definitions for the
// model the first byte names: values land only on the bound parameters.

#include "FuzzSupport.h"
#include "project/DataPaths.h"
#include "project/ParamTable.h"

using pv::fuzz::Definitions;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PV_FUZZ_CHECK(!Definitions().groups.empty());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint32_t modelCode = 0x35000u | data[0];
    // Only the bound records change: they alone are put back before the next input.
    static pv::ParamTable* work = new pv::ParamTable(Definitions());
    pv::ParamTable& table = *work;
    const auto& before = Definitions();
    for (const auto& b : pv::ModelDefaultBinding())
        if (const auto* r = before.record(b.group, b.index)) *table.record(b.group, b.index) = *r;

    table.ParseModelDefaults(pv::fuzz::AsText(data + 1, size - 1));
    const int written = table.ApplyModelDefaults(modelCode);
    PV_FUZZ_CHECK(written >= 0 && written <= pv::kModelDefaultBindings);
    const int valueIndex = pv::ModelDefaultIndex(modelCode);
    if (valueIndex < 0) PV_FUZZ_CHECK(written == 0);
    PV_FUZZ_CHECK(static_cast<std::size_t>(written) <= table.modelDefaults.size());

    // Each bound record took its entry's value for the model, or kept its own.
    const auto& binding = pv::ModelDefaultBinding();
    for (std::size_t pos = 0; pos < binding.size() && pos < table.modelDefaults.size(); ++pos) {
        const auto* r = table.record(binding[pos].group, binding[pos].index);
        if (!r) continue;
        const auto& values = table.modelDefaults[pos].values;
        if (valueIndex >= 0 && static_cast<std::size_t>(valueIndex) < values.size())
            PV_FUZZ_CHECK(r->defaultValue == values[valueIndex] && r->setValue == r->defaultValue);
        else
            PV_FUZZ_CHECK(*r == *before.record(binding[pos].group, binding[pos].index));
    }
    return 0;
}
