// Which registers Connect and the start-up link read, in which order, and what each failure
// shows and leaves behind; the settings file a successful link writes.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "ConnectFixture.h"
#include "comm/CDriveSerial.h"
#include "comm/Connect.h"
#include "res/ScriptedPrompts.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace pv::comm {
namespace {

// Two drives of one model on the bus.
class ConnectSequenceTest : public ConnectTest {
protected:
    void SetUp() override {
        ConnectTest::SetUp();
        bus->addStation(1, k2P5);
        bus->addStation(2, k2P5);
    }
};

constexpr int kType = 0x252F;
constexpr int kIdent = 0x0D00;

TEST_F(ConnectSequenceTest, ReadsTypeThenCapacityAndVersionAndTheFirstTypeAgain) {
    request.stations = {2, 1};
    request.projectModel = k2P5;
    ASSERT_TRUE(Connect(link, prompts, request, state, panes));
    const std::vector<ReadSeen> expected = {
        {2, kType, 1}, {2, kIdent, 2}, {2, kType, 1},  // the first station: type read twice
        {1, kType, 1}, {1, kIdent, 2},
    };
    EXPECT_EQ(expected, peer->reads);
}

TEST_F(ConnectSequenceTest, EachFailingReadShowsItsTextAndClosesTheLink) {
    using Spoil = RecordingPeer::Spoil;
    struct Case {
        int at;  // transaction spoiled, counted from 1
        Spoil spoil;
        const char* shown;
    };
    const Case cases[] = {
        {1, Spoil::Silence, "error: Communication Error."},
        {2, Spoil::Exception, "error: Communication Error."},
        // The second look at the first station's type is classified like a group read.
        {3, Spoil::Silence, "message: TimeOut !"},
        {3, Spoil::Exception, "message: Data error !"},
        {4, Spoil::Silence, "error: Communication Error."},  // the second station
        {5, Spoil::Exception, "error: Communication Error."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.at);
        auto spoiled = std::make_shared<RecordingPeer>(bus);
        spoiled->spoilAt = c.at;
        spoiled->spoil = c.spoil;
        serial::setVirtualPeer(spoiled);
        CDriveSerial l;
        l.setResponseTimeout(100ms);
        ASSERT_NE(0, l.InitComm("SIM", 9600, 8, 0, 2.0f));
        ScriptedPrompts p;
        LinkState st;
        request.stations = {1, 2};
        request.projectModel = k2P5;
        EXPECT_FALSE(Connect(l, p, request, st, panes));
        EXPECT_EQ(std::vector<std::string>{c.shown}, p.shown);
        EXPECT_EQ(static_cast<std::size_t>(c.at), spoiled->reads.size());  // nothing read after
        EXPECT_FALSE(st.linked);
        EXPECT_FALSE(l.isOpen());
    }
    EXPECT_FALSE(fs::exists(dir / "acomfile.ini"));
}

TEST_F(ConnectSequenceTest, LinkWritesTheSettingsAndMarksATcpLink) {
    settings.portNumber = -1;
    settings.baudIndex = 2;
    settings.parityIndex = 0;
    settings.stationText = "1,2";
    request.stations = {1, 2};
    request.stationText = "1,2";
    request.tcpIp = true;
    ASSERT_TRUE(Connect(link, prompts, request, state, panes));
    EXPECT_TRUE(state.tcpIp);
    std::ifstream in(dir / "acomfile.ini", std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    EXPECT_EQ("-1\n2\n101\n1,2\n", text.str());
    EXPECT_EQ("1,2", panes.station);
}

TEST_F(ConnectSequenceTest, StartupLinkReadsCapacityAndVersionThenTheType) {
    ASSERT_TRUE(StartupLink(link, prompts, 2, state, panes));
    const std::vector<ReadSeen> expected = {{2, kIdent, 2}, {2, kType, 1}};
    EXPECT_EQ(expected, peer->reads);
    EXPECT_EQ(std::vector<int>{2}, state.stations);
    EXPECT_EQ(5, state.modelClass);

    peer->reads.clear();
    peer->spoilAt = 4;  // the type read of a second start-up link
    peer->spoil = RecordingPeer::Spoil::Exception;
    LinkState again;
    EXPECT_FALSE(StartupLink(link, prompts, 2, again, panes));
    EXPECT_EQ(std::vector<std::string>{"message: Data error !"}, prompts.shown);
    EXPECT_FALSE(again.linked);
}

}  // namespace
}  // namespace pv::comm
