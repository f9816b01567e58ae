// The scan of a line against virtual drives, some of them answering wrongly on purpose: every
// station is asked once, silent ones are passed over, and an odd answer is reported, not skipped.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "comm/CDriveSerial.h"
#include "comm/Scan.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace pv::comm {
namespace {

using namespace std::chrono_literals;
using sim::FaultKind;

class ScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        bus = std::make_shared<sim::VirtualBus>(PARVOLT_DATA_DIR);
        serial::setVirtualPeer(bus);
        ASSERT_NE(0, link.InitComm("SIM", 9600, 8, 0, 2.0f));
        link.setResponseTimeout(30ms);
    }
    void TearDown() override { serial::setVirtualPeer(nullptr); }

    std::shared_ptr<sim::VirtualBus> bus;
    CDriveSerial link;
};

TEST_F(ScanTest, ReportsEachStationSilentAsADriveOrWithWhatIsWrongWithItsAnswer) {
    struct Case {
        int station;
        std::uint32_t model;  // 0: no drive at this station
        FaultKind fault;
        int faultArg;
        StationAnswer answer;
        std::string expected;  // model name, or the start of the problem text
    };
    const Case cases[] = {
        {1, 0, FaultKind::None, -1, StationAnswer::Silent, ""},
        {2, 0x35001, FaultKind::None, -1, StationAnswer::Drive, "N350-2P5-H"},
        {3, 0x35022, FaultKind::None, -1, StationAnswer::Drive, "N350-402-H"},
        {4, 0x35001, FaultKind::Exception, 2, StationAnswer::Problem,
         "answers but with exception 2 (address error)"},
        {5, 0x35001, FaultKind::BadCrc, -1, StationAnswer::Problem,
         "answers but the reply fails its CRC check"},
        {6, 0x35001, FaultKind::Truncated, -1, StationAnswer::Problem,
         "answers but not with a Modbus reply to the request (reply of 4 bytes, 9 expected)"},
        {7, 0x35001, FaultKind::WrongFunction, 4, StationAnswer::Problem,
         "answers but with function 0x04 instead of 0x03"},
        {8, 0x35077, FaultKind::None, -1, StationAnswer::Problem,
         "answers but reports capacity code 0x0077, which no N350 model has"},
        // A reply after the time-out is no answer; it must not be taken for the next station's.
        {9, 0x35001, FaultKind::Late, 150, StationAnswer::Silent, ""},
        {10, 0x35003, FaultKind::None, -1, StationAnswer::Drive, "N350-202-H"},
        {11, 0, FaultKind::None, -1, StationAnswer::Silent, ""},
    };
    std::vector<int> stations;
    for (const auto& c : cases) {
        stations.push_back(c.station);
        if (c.model == 0) continue;
        bus->addStation(c.station, c.model);
        if (c.fault != FaultKind::None)
            bus->faults(c.station).set(c.fault, sim::FaultMode::Always, c.faultArg);
    }
    bus->station(3)->setVersion(1005);

    std::vector<int> reported;
    const ScanOutcome outcome =
        ScanStations(link, stations, [&](const StationScan& s) { reported.push_back(s.station); });

    EXPECT_EQ(stations, reported);
    ASSERT_EQ(std::size(cases), outcome.stations.size());
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const StationScan& s = outcome.stations[i];
        SCOPED_TRACE(c.station);
        EXPECT_EQ(c.station, s.station);
        EXPECT_EQ(c.answer, s.answer) << s.problem;
        if (c.answer == StationAnswer::Drive) {
            EXPECT_EQ(c.model, s.modelCode);
            EXPECT_EQ(c.expected, s.modelName);
        } else {
            EXPECT_EQ(0u, s.problem.rfind(c.expected, 0)) << s.problem;
        }
    }
    EXPECT_EQ(1005, outcome.stations[2].version);
    EXPECT_EQ(3, outcome.drives());
    EXPECT_EQ(8, outcome.answering());
    EXPECT_FALSE(outcome.wireLost);
    // One request per station, silent or not: no retries that would multiply the time-outs.
    EXPECT_EQ(std::size(cases), bus->framesSeen());
}

TEST(ScanStations, AcceptsStationsAndRangesAndSaysWhatIsWrongOtherwise) {
    struct Case {
        const char* text;
        std::vector<int> stations;
        const char* error;  // "" when accepted
    };
    const Case cases[] = {
        {"1-32", {}, ""},  // filled below
        {"3", {3}, ""},
        {"1,4,7-9", {1, 4, 7, 8, 9}, ""},
        {" 5 , 2-3 ", {5, 2, 3}, ""},
        {"6-6", {6}, ""},
        {"0", {}, "station 0 does not exist"},
        {"1-33", {}, "station 33 does not exist"},
        {"9-7", {}, "the range 9-7 runs backwards (write 7-9)"},
        {"1,4-6,5", {}, "station 5 is listed twice"},
        {"1,,3", {}, "an empty entry between commas"},
        {"1,", {}, "an empty entry between commas"},
        {"", {}, "no station given"},
        {"a", {}, "\"a\" is neither a station nor a range"},
        {"-3", {}, "\"-3\" is neither a station nor a range"},
        {"1-2-3", {}, "\"1-2-3\" is neither a station nor a range"},
        {"99999999999", {}, "\"99999999999\" is neither a station nor a range"},
        {"0x10", {}, "\"0x10\" is neither a station nor a range"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::vector<int> expected = c.stations;
        if (std::string(c.text) == "1-32")
            for (int s = 1; s <= 32; ++s) expected.push_back(s);
        std::vector<int> out = {99};
        std::string error;
        EXPECT_EQ(std::string(c.error).empty(), ParseScanStations(c.text, out, error));
        EXPECT_EQ(expected, out);
        EXPECT_EQ(c.error, error);
    }
}

}  // namespace
}  // namespace pv::comm
