// The station list syntax: what is accepted, in which order, and the message for each refusal.

#include <gtest/gtest.h>

#include "comm/StationList.h"
#include "res/ScriptedPrompts.h"

namespace pv::comm {
namespace {

constexpr const char* kAbove32 = "The station number can not be more than 32!";
constexpr const char* kOrder = "The station number before '-' must be less than after '-' !";
constexpr const char* kRepeat = "The station number can not be repeat!";

TEST(StationList, ParsesOrRefusesWithTheExactMessage) {
    struct Case {
        const char* text;
        std::vector<int> stations;
        const char* message;  // "" when accepted
    };
    const Case cases[] = {
        {"1,3,5-12", {1, 3, 5, 6, 7, 8, 9, 10, 11, 12}, ""},
        {"", {}, ""},
        {"32", {32}, ""},
        {" 7, 2", {7, 2}, ""},
        {"4-4", {4}, ""},
        {"12ab", {12}, ""},
        {"33", {}, kAbove32},
        {"30-33", {}, kAbove32},
        {"5-3", {}, kOrder},
        {"3,1-4", {}, kRepeat},
        {"2,2", {}, kRepeat},
        {"1-123456", {}, kAbove32},  // more than 5 characters after the dash
        {"1,000002", {}, kAbove32},  // a last item of 6 characters
        {"000002,1", {2, 1}, ""},    // the length rule binds only the last item
        {"99999999999999", {}, kAbove32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<int> out = {99};
        std::string message;
        EXPECT_EQ(std::string(c.message).empty(), ParseStationList(c.text, out, message));
        EXPECT_EQ(c.stations, out);
        EXPECT_EQ(c.message, message);
    }
}

TEST(StationList, ShowsTheRefusalInAMessageBox) {
    ScriptedPrompts prompts;
    std::vector<int> out;
    EXPECT_EQ(0, ParseStationList("5-3", out, prompts));
    EXPECT_EQ(std::vector<std::string>{kOrder}, prompts.texts("message"));
    ScriptedPrompts quiet;
    EXPECT_EQ(1, ParseStationList("", out, quiet));
    EXPECT_TRUE(quiet.shown.empty());
}

}  // namespace
}  // namespace pv::comm
