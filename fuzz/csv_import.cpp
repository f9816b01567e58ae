// The CSV line reader and the parameter import over it: decoded lines never hold CR, LF or NUL
// and encode back to bytes that decode to the same lines; an import either takes every line or
// stops at a line that exists, having set no more parameters than the lines before it.

#include "FuzzSupport.h"
#include "editing/CsvLines.h"
#include "editing/ParamExchange.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto lines = pv::DecodeCsvLines(pv::fuzz::AsText(data, size));
    for (const auto& line : lines)
        PV_FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    auto expected = lines;
    if (!expected.empty() && expected.back().empty()) expected.pop_back();  // no CR after it
    PV_FUZZ_CHECK(pv::DecodeCsvLines(pv::EncodeCsvLines(lines)) == expected);

    static pv::ParamTable table = pv::fuzz::Definitions();
    int applied = 0;
    const int bad = pv::ApplyCsvImport(table, lines, applied);
    PV_FUZZ_CHECK(bad == -1 || (bad >= 3 && bad < static_cast<int>(lines.size())));
    const int taken = (bad == -1 ? static_cast<int>(lines.size()) : bad) - 3;
    PV_FUZZ_CHECK(applied == (taken > 0 ? taken : 0));
    return 0;
}
