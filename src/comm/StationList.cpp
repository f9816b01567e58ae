#include "comm/StationList.h"

#include <algorithm>
#include <cctype>

#include "drive/Registers.h"
#include "res/CommTexts.h"

namespace pv::comm {

namespace {

// The leading decimal digits after leading blanks; 0 when there are none. Values far above 32
// are capped, which keeps them above 32 without overflowing.
int leadingNumber(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    long value = 0;
    for (; i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])); ++i)
        value = std::min(value * 10 + (s[i] - '0'), 1000000L);
    return static_cast<int>(value);
}

std::vector<std::string> splitAtCommas(const std::string& text) {
    std::vector<std::string> items;
    std::size_t start = 0;
    for (;;) {
        const auto comma = text.find(',', start);
        items.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    return items;
}

bool contains(const std::vector<int>& v, int n) {
    return std::find(v.begin(), v.end(), n) != v.end();
}

}  // namespace

bool ParseStationList(const std::string& text, std::vector<int>& stations, std::string& message) {
    stations.clear();
    message.clear();
    if (text.empty()) return true;
    const auto items = splitAtCommas(text);
    auto fail = [&](const char* why) {
        message = why;
        stations.clear();
        return false;
    };
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string& item = items[i];
        const auto dash = item.find('-');
        if (dash != std::string::npos) {
            const std::string after = item.substr(dash + 1);
            if (after.size() > 5) return fail(res::kStationAbove32);
            const int a = leadingNumber(item.substr(0, dash));
            const int b = leadingNumber(after);
            if (a > b) return fail(res::kStationRangeOrder);
            for (int n = a; n <= b; ++n) {
                if (n > drive::kMaxStation) return fail(res::kStationAbove32);
                if (contains(stations, n)) return fail(res::kStationRepeat);
                stations.push_back(n);
            }
            continue;
        }
        const bool last = i + 1 == items.size();
        const int n = leadingNumber(item);
        if (n > drive::kMaxStation || (last && item.size() >= 6)) return fail(res::kStationAbove32);
        if (contains(stations, n)) return fail(res::kStationRepeat);
        stations.push_back(n);
    }
    return true;
}

int ParseStationList(const std::string& text, std::vector<int>& stations, Prompts& prompts) {
    std::string message;
    if (ParseStationList(text, stations, message)) return 1;
    prompts.message(message);
    return 0;
}

}  // namespace pv::comm
