// The model descriptions (N350.spe): every model block gives one entry whose description is
// whole lines, each closed by "\r\n".

#include "FuzzSupport.h"
#include "project/ModelDescriptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto text = pv::fuzz::AsText(data, size);
    const auto models = pv::ParseModelDescriptions(text);
    PV_FUZZ_CHECK(models.size() <= size / 5);
    for (const auto& m : models) {
        PV_FUZZ_CHECK(m.name.size() < size);
        const auto& d = m.description;
        PV_FUZZ_CHECK(d.empty() || (d.size() >= 2 && d.compare(d.size() - 2, 2, "\r\n") == 0));
    }
    return 0;
}
