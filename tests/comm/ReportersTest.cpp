// The exact texts each reporter gives for each outcome of a transaction.

#include <gtest/gtest.h>

#include "comm/Reporters.h"
#include "res/ScriptedPrompts.h"

namespace pv::comm {
namespace {

TEST(Reporters, WriteReplyShowsStationAndReason) {
    struct Case {
        int result;
        std::uint8_t function;
        std::uint8_t code;
        int station;
        const char* shown;  // nullptr: nothing shown
        int returned;
    };
    const Case cases[] = {
        {0, 0x06, 0, 7, nullptr, 1},
        {0, 0x86, 2, 7, "Station NO: 7 address error", 0},
        {0, 0x86, 1, 2, "Station NO: 2 Function code error", 0},
        {0, 0x86, 3, 2, "Station NO: 2 data error", 0},
        {0, 0x86, 4, 2, "Station NO: 2 register number error", 0},
        {0, 0x86, 9, 2, "Station NO: 2 Data error !", 0},
        {2, 0x00, 0, 3, "Station NO: 3 TimeOut !", 0},
        {1, 0x00, 0, 3, "Station NO: 3 CRC parity error !", 0},
        {3, 0x00, 0, 3, "Station NO: 3 Data error !", 0},
        {4, 0x00, 0, 3, nullptr, 0},
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        EXPECT_EQ(c.returned,
                  ReportWriteReply(prompts, c.result, c.function, c.code, c.station, 0x06));
        if (c.shown)
            EXPECT_EQ(std::vector<std::string>{c.shown}, prompts.texts("message"));
        else
            EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST(Reporters, GroupWriteStoresWithoutShowing) {
    struct Case {
        int result;
        std::uint8_t reply[3];
        const char* stored;
    };
    const Case cases[] = {
        {2, {0, 0, 0}, "Station NO: 3:write parameter group 5 TimeOut !"},
        {1, {0, 0, 0}, "Station NO: 3:write parameter group 5 CRC parity error !"},
        {3, {0, 0, 0}, "Station NO: 3:write parameter group 5 Data error !"},
        {0, {3, 0x90, 3}, "Station NO: 3:write parameter group 5 data error"},
    };
    for (const auto& c : cases) {
        std::string lastError;
        EXPECT_EQ(0, StoreGroupWriteReply(lastError, c.result, c.reply, 0x10, 3, 5));
        EXPECT_EQ(c.stored, lastError);
    }
    std::string untouched = "before";
    const std::uint8_t ok[] = {3, 0x10, 0};
    EXPECT_EQ(1, StoreGroupWriteReply(untouched, 0, ok, 0x10, 3, 5));
    EXPECT_EQ("before", untouched);
}

TEST(Reporters, GroupReadStoresThePlainText) {
    struct Case {
        int result;
        std::uint8_t function;
        const char* stored;
    };
    const Case cases[] = {
        {1, 0, "CRC parity error !"}, {2, 0, "TimeOut !"}, {3, 0, "Data error !"},
        {0, 0x83, "Data error !"},  // an exception reply is not decoded here
        {0, 0x04, "Data error !"},
    };
    for (const auto& c : cases) {
        std::string lastError;
        EXPECT_EQ(0, StoreReadReply(lastError, c.result, c.function, 0x03));
        EXPECT_EQ(c.stored, lastError);
    }
    std::string lastError;
    EXPECT_EQ(1, StoreReadReply(lastError, 0, 0x03, 0x03));
    EXPECT_TRUE(lastError.empty());
}

TEST(Reporters, SingleReadShowsErrTypeOrCommunicationError) {
    struct Case {
        int result;
        std::uint8_t function;
        const char* shown;
    };
    const Case cases[] = {
        {1, 0, "CRC parity error !"},
        {2, 0, "TimeOut !"},
        {3, 0, "Data error !"},
        {5, 0, "Data error !"},
        {0, 0x83, "Communication Error."},
    };
    for (const auto& c : cases) {
        ScriptedPrompts prompts;
        EXPECT_FALSE(CheckSingleRead(prompts, c.result, c.function));
        EXPECT_EQ(std::vector<std::string>{c.shown}, prompts.texts("message"));
    }
    ScriptedPrompts prompts;
    EXPECT_TRUE(CheckSingleRead(prompts, 0, 0x03));
    EXPECT_TRUE(prompts.shown.empty());
}

}  // namespace
}  // namespace pv::comm
