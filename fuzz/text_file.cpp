// The line discipline and number readers every data file goes through: lines never carry
// their terminator, a NUL or more than the limit; a final line without "\n" counts; numbers
// read as the C library reads them, clamped to 32 bits; codes that parse format back the same.

#include <algorithm>
#include <climits>
#include <string>

#include "FuzzSupport.h"
#include "project/ParamTable.h"
#include "project/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::size_t maxLength = data[0] == 0xFF ? std::string_view::npos : data[0];
    const auto text = pv::fuzz::AsText(data + 1, size - 1);

    std::size_t lines = 0;
    pv::ForEachLine(text, maxLength, [&](std::string_view line) {
        PV_FUZZ_CHECK(line.size() <= maxLength);
        PV_FUZZ_CHECK(line.find('\n') == std::string_view::npos);
        PV_FUZZ_CHECK(line.find('\0') == std::string_view::npos);
        ++lines;

        const std::string copy(line);
        const long long wide = std::strtoll(copy.c_str(), nullptr, 10);
        const long long clamped = std::clamp<long long>(wide, INT32_MIN, INT32_MAX);
        PV_FUZZ_CHECK(pv::AtoiLike(line) == clamped);
        (void)pv::AtofLike(line);

        const auto trimmed = pv::Trim(line);
        const auto blank = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
        PV_FUZZ_CHECK(trimmed.empty() || (!blank(trimmed.front()) && !blank(trimmed.back())));
        if (const auto code = pv::ParseParamCode(line))
            PV_FUZZ_CHECK(pv::FormatParamCode(code->group, code->index) == line);
        return true;
    });
    const auto newlines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
    const bool openLast = !text.empty() && text.back() != '\n';
    PV_FUZZ_CHECK(lines == newlines + (openLast ? 1 : 0));
    return 0;
}
