// Network adapters end to end on loopback: two virtual adapters are found, one is named, given a
// new address, found there again under its name, and the drive behind it answers over TCP at
// the new address.

#include <gtest/gtest.h>

#include "comm/CDriveSerial.h"
#include "comm/ModbusFrames.h"
#include "comm/NetAdapters.h"
#include "sim/VirtualAdapters.h"
#include "sim/VirtualBus.h"

namespace pv::comm {
namespace {

using namespace std::chrono_literals;

class NetAdapters : public ::testing::Test {
protected:
    void SetUp() override {
        bus.addStation(1, 0x35001);
        std::string error;
        for (const char* a : {"00-20-4a-14-01-18@127.0.0.2", "00-20-4A-14-01-19@127.0.0.3"}) {
            sim::AdapterSetting s;
            ASSERT_TRUE(sim::parseAdapter(a, s)) << a;
            ASSERT_TRUE(adapters.add(s, error)) << error;
        }
        ASSERT_TRUE(adapters.listen(0, error)) << error;
        target.address = "127.255.255.255";  // the loopback broadcast reaches every listener
        target.port = adapters.udpPort();
        target.localPort = 0;
        target.wait = 200ms;
    }
    std::vector<NetAdapter> search(const AdapterSettings& names) {
        std::vector<NetAdapter> found;
        SearchAdapters(channel, target, names, found);
        return found;
    }

    sim::VirtualBus bus{std::string(PARVOLT_DATA_DIR) + "/"};
    sim::VirtualAdapters adapters{bus, sim::StreamOptions{}, 0};
    DiscoveryTarget target;
    CDriveSerial channel;
};

TEST_F(NetAdapters, FindRenameMoveAndConnectAtTheNewAddress) {
    AdapterSettings names;
    names.adapters = {{"00-20-4a-14-01-18", "Pump"}};
    auto found = search(names);
    ASSERT_EQ(2u, found.size());
    EXPECT_EQ("127.0.0.2(Pump)", AdapterDisplay(found[0]));
    EXPECT_EQ("127.0.0.3()", AdapterDisplay(found[1]));
    EXPECT_EQ("00-20-4a-14-01-19", found[1].mac);

    found[1].name = "Fan";
    KeepAdapterNames(names, found);
    target.applyTo(channel);
    ASSERT_EQ(1, channel.setIPAddress("127.0.0.9", found[1].mac));
    EXPECT_EQ(0, channel.setIPAddress("192.0.2.1", found[1].mac));  // not an address of ours
    found = search(names);
    ASSERT_EQ(2u, found.size());
    EXPECT_EQ("127.0.0.9(Fan)", AdapterDisplay(found[1]));  // the name survived the search

    channel.tcpAddress = found[1].address;
    channel.tcpPort = adapters.tcpPort();
    ASSERT_NE(0, channel.InitComm("TCPIP", 9600, 8, 0, 2.0f));
    EXPECT_EQ("127.0.0.9", LinkedAddress(channel));
    std::uint8_t request[8], reply[7];
    BuildReadFrame(1, 0x252F, 1, request);
    ASSERT_EQ(serial::ErrNone, channel.CommandSend(request, sizeof request, reply, sizeof reply));
    EXPECT_EQ(7, reply[3]);  // the drive type word of an N350
}

TEST(NetAdapterTexts, MacAndAddressChecks) {
    const std::pair<const char*, const char*> macs[] = {
        {"00-20-4A-14-01-18", "00-20-4a-14-01-18"}, {"00:20:4a:14:01:18", "00-20-4a-14-01-18"},
        {"00-20-4a-14-01", ""}, {"00-20-4a-14-01-1g", ""}, {"0020-4a-14-01-188", ""}};
    for (const auto& [in, out] : macs) EXPECT_EQ(out, NormalizedMac(in)) << in;
    EXPECT_TRUE(ValidIpText("127.0.0.9"));
    EXPECT_FALSE(ValidIpText("127.0.0.256"));
    EXPECT_FALSE(ValidIpText("pump"));
}

}  // namespace
}  // namespace pv::comm
