// The monitor code list (N350MOTORPARAM.DAT): one pair per line, codes of at most five
// characters.

#include "FuzzSupport.h"
#include "project/ParamTable.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    pv::ParamTable table;
    table.ParseCodeList(pv::fuzz::AsText(data, size));
    for (const auto& pair : table.codeList) {
        PV_FUZZ_CHECK(pair.code.size() <= 5);
        PV_FUZZ_CHECK(pair.code.find('\n') == std::string::npos);
        PV_FUZZ_CHECK(pair.name.find('\n') == std::string::npos);
    }
    return 0;
}
