// CSerial over the virtual wire: transactions, every way a reply can go wrong, and the line
// timing (late replies are pinned in LateReplyCostTest).

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "TestPeer.h"
#include "serial/CSerial.h"
#include "serial/VirtualWire.h"

namespace pv::serial {
namespace {

using namespace std::chrono_literals;
using test::readRequest;
using test::Spoil;
using test::TestPeer;

class VirtualLink : public ::testing::Test {
protected:
    void SetUp() override {
        peer = std::make_shared<TestPeer>();
        setVirtualPeer(peer);
        ASSERT_NE(0, link.InitComm("sim", 9600, 8, 0, 2.0f));
        link.setResponseTimeout(2000ms);
    }
    void TearDown() override { setVirtualPeer(nullptr); }

    ErrType read(int reg, int count, std::vector<std::uint8_t>& reply) {
        return test::readRegs(link, reg, count, reply);
    }

    std::shared_ptr<TestPeer> peer;
    CSerial link;
};

TEST_F(VirtualLink, ReadReturnsTheRegisterValues) {
    std::vector<std::uint8_t> reply;
    ASSERT_EQ(ErrNone, read(0x0D00, 2, reply));
    EXPECT_EQ(0x0D01, reply[3] * 256 + reply[4]);
    EXPECT_EQ(0x0D02, reply[5] * 256 + reply[6]);
}

TEST_F(VirtualLink, PortNameSimIsCaseInsensitiveAndNeedsAPeer) {
    CSerial other;
    EXPECT_NE(0, other.InitComm("  SIM ", 9600, 8, 0, 2.0f));
    setVirtualPeer(nullptr);
    CSerial none;
    EXPECT_EQ(0, none.InitComm("sim", 9600, 8, 0, 2.0f));
    EXPECT_FALSE(none.isOpen());
}

TEST_F(VirtualLink, RefusesLineSettingsTheLineCannotCarry) {
    CSerial other;
    EXPECT_EQ(0, other.InitComm("sim", 9601, 8, 0, 2.0f));
    EXPECT_EQ(0, other.InitComm("sim", 9600, 6, 0, 2.0f));
    EXPECT_EQ(0, other.InitComm("sim", 9600, 8, 3, 2.0f));
    EXPECT_EQ(0, other.InitComm("sim", 9600, 8, 0, 1.5f));
    EXPECT_NE(0, other.InitComm("sim", 115200, 7, 2, 1.0f));
}

// Each spoilt reply gives its ErrType. A whole frame ends the reception at once; a partial one
// (or noise short of a frame) waits for the rest that never comes, until the time-out.
TEST_F(VirtualLink, SpoiltRepliesAreClassified) {
    struct Case {
        Spoil spoil;
        ErrType expected;
        bool waitsForTheRest;
    };
    const Case cases[] = {
        {Spoil::BadCrc, ErrCrc, false},
        {Spoil::Garbage, ErrCrc, false},
        {Spoil::WrongFunction, ErrNone, false},  // a whole good frame: byte 1 is the caller's
        {Spoil::WrongStation, ErrMalformed, false},
        {Spoil::Truncated, ErrMalformed, true},
        {Spoil::ShortGarbage, ErrMalformed, true},
        {Spoil::Doubled, ErrMalformed, false},
        {Spoil::Exception, ErrNone, false},
    };
    link.setResponseTimeout(300ms);
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.spoil));
        peer->queue(c.spoil);
        std::vector<std::uint8_t> reply;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(c.expected, read(0x0100, 4, reply));
        EXPECT_EQ(c.waitsForTheRest,
                  std::chrono::steady_clock::now() - start >= link.responseTimeout());
        // The line is clean again for the next request.
        EXPECT_EQ(ErrNone, read(0x0100, 1, reply));
    }
}

TEST_F(VirtualLink, ReplyOfAnotherFunctionIsDeliveredAsItCame) {
    peer->queue(Spoil::WrongFunction);
    std::vector<std::uint8_t> reply;
    ASSERT_EQ(ErrNone, read(0x0D00, 2, reply));
    EXPECT_EQ(0x04, reply[1]);
    EXPECT_EQ(4, reply[2]);  // the rest of the frame is untouched
}

TEST_F(VirtualLink, ExceptionReplyIsDeliveredWithItsCode) {
    peer->queue(Spoil::Exception);
    std::vector<std::uint8_t> reply;
    ASSERT_EQ(ErrNone, read(0x2000, 1, reply));
    EXPECT_EQ(0x83, reply[1]);
    EXPECT_EQ(2, reply[2]);
}

TEST_F(VirtualLink, SilenceAndAReplyPastTheTimeOutAreTimeOuts) {
    link.setResponseTimeout(100ms);
    std::vector<std::uint8_t> reply;
    peer->queue(Spoil::Drop);
    EXPECT_EQ(ErrTimeOut, read(0, 1, reply));
    peer->queue(Spoil::Delay, 150ms);
    EXPECT_EQ(ErrTimeOut, read(0, 1, reply));
    EXPECT_EQ(ErrNone, read(7, 1, reply));
    EXPECT_EQ(8, reply[4]);
}

TEST_F(VirtualLink, UnpluggedWireFailsAtOnce) {
    peer->unplug();
    std::vector<std::uint8_t> reply;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrTimeOut, read(0, 1, reply));
    EXPECT_LT(std::chrono::steady_clock::now() - start, link.responseTimeout() / 2);
}

TEST_F(VirtualLink, WriteSendsABroadcastWithoutWaitingForAReply) {
    std::uint8_t frame[] = {0, 0x06, 0xA6, 0x00, 0x00, 0x01, 0, 0};
    const auto crc = crc16(frame, 6);
    frame[6] = crc & 0xFF;
    frame[7] = crc >> 8;
    std::size_t written = 0;
    EXPECT_EQ(1, link.Write(frame, sizeof frame, &written, 800));
    EXPECT_EQ(sizeof frame, written);
    EXPECT_EQ(std::vector<std::uint8_t>(frame, frame + 8), peer->lastFrame());
}

TEST_F(VirtualLink, ConsecutiveRequestsKeepTheInterFrameGap) {
    struct Stamping : TestPeer {
        std::vector<std::chrono::steady_clock::time_point> at;
        std::vector<ReplyChunk> onFrame(const std::vector<std::uint8_t>& f) override {
            at.push_back(std::chrono::steady_clock::now());
            return TestPeer::onFrame(f);
        }
    };
    auto stamping = std::make_shared<Stamping>();
    setVirtualPeer(stamping);
    CSerial fast;
    ASSERT_NE(0, fast.InitComm("SIM", 38400, 8, 0, 1.0f));
    std::vector<std::uint8_t> reply(7);
    const auto req = readRequest(1, 0, 1);
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(ErrNone, fast.CommandSend(req.data(), req.size(), reply.data(), reply.size()));
    ASSERT_EQ(3u, stamping->at.size());
    EXPECT_GE(stamping->at[1] - stamping->at[0], fast.interFrameGap());
    EXPECT_GE(stamping->at[2] - stamping->at[1], fast.interFrameGap());
}

TEST(CSerialTiming, FrameGapIsThreeAndAHalfCharactersButAtLeast1750us) {
    auto peer = std::make_shared<TestPeer>();
    setVirtualPeer(peer);
    CSerial slow, fast;
    ASSERT_NE(0, slow.InitComm("sim", 1200, 8, 0, 2.0f));
    ASSERT_NE(0, fast.InitComm("sim", 115200, 8, 0, 1.0f));
    // 11 bits per character at 1200 baud: 9167 us each.
    EXPECT_EQ(std::chrono::microseconds(32084), slow.interFrameGap());
    EXPECT_EQ(std::chrono::microseconds(1750), fast.interFrameGap());
    setVirtualPeer(nullptr);
}

TEST(CSerialClosed, TransactionsOnAClosedLinkFail) {
    CSerial link;
    std::uint8_t req[8] = {1, 3, 0, 0, 0, 1, 0x84, 0x0A};
    std::uint8_t reply[7] = {};
    EXPECT_EQ(ErrTimeOut, link.CommandSend(req, 8, reply, 7));
    link.Close();
    link.Close();
    EXPECT_FALSE(link.isOpen());
}

}  // namespace
}  // namespace pv::serial
