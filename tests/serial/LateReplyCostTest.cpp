// What a reply that never came costs the next transactions: a station that stays silent costs
// its own time-out and nothing more, while its late answer, should it come after all, is never
// taken for the answer to what is asked next.

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

class LateReplyCost : public ::testing::Test {
protected:
    void SetUp() override {
        peer = std::make_shared<TestPeer>();
        setVirtualPeer(peer);
        ASSERT_NE(0, link.InitComm("SIM", 9600, 8, 0, 2.0f));
        link.setResponseTimeout(100ms);
    }
    void TearDown() override { setVirtualPeer(nullptr); }

    ErrType read(int station, int reg, std::vector<std::uint8_t>& reply) {
        const auto req = readRequest(station, reg, 1);
        reply.assign(7, 0);
        return link.CommandSend(req.data(), req.size(), reply.data(), reply.size());
    }

    std::shared_ptr<TestPeer> peer;
    CSerial link;
};

// A scan of five absent stations, then one that answers: no transaction waits for another's
// reply.
TEST_F(LateReplyCost, AbsentStationsCostTheirOwnTimeOutOnly) {
    std::vector<std::uint8_t> reply;
    for (int station = 1; station <= 5; ++station) {
        peer->queue(Spoil::Drop);
        EXPECT_EQ(ErrTimeOut, read(station, 0x0D00, reply));
    }
    ASSERT_EQ(ErrNone, read(6, 0x0D00, reply));
    EXPECT_EQ(6, reply[0]);
    EXPECT_EQ(0, link.lateReplyWaits());
    EXPECT_EQ(6, peer->frames());
}

// How each late answer is kept out of the next transaction, by where the next request goes.
TEST_F(LateReplyCost, LateAnswerNeverAnswersTheNextRequest) {
    struct Case {
        const char* what;
        int nextStation;
        std::chrono::milliseconds lateBy;    // the first reply, past the 100 ms time-out
        std::chrono::milliseconds nextAfter;  // the next station's own reply
        std::uint64_t waits;                  // transactions that sat out a late reply
        std::uint64_t dropped;                // late replies recognised and dropped
    };
    const Case cases[] = {
        // The late reply lands in the next station's reception first and is dropped there.
        {"another station, late reply first", 2, 150ms, 80ms, 0, 1},
        // It comes after the next station's reply: that transaction is long over.
        {"another station, late reply after", 2, 300ms, 20ms, 0, 0},
        // The same station could not be told apart by its address: the rest of the late
        // reply's time is sat out once, before the request goes.
        {"same station", 1, 150ms, 20ms, 1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CSerial fresh;
        ASSERT_NE(0, fresh.InitComm("SIM", 9600, 8, 0, 2.0f));
        fresh.setResponseTimeout(100ms);
        peer->queue(Spoil::Delay, c.lateBy);
        peer->queue(Spoil::Delay, c.nextAfter);
        const auto first = readRequest(1, 0x0010, 1);
        std::vector<std::uint8_t> reply(7);
        EXPECT_EQ(ErrTimeOut,
                  fresh.CommandSend(first.data(), first.size(), reply.data(), reply.size()));
        const auto next = readRequest(c.nextStation, 0x0020, 1);
        ASSERT_EQ(ErrNone, fresh.CommandSend(next.data(), next.size(), reply.data(), reply.size()))
            << fresh.lastFailure();
        EXPECT_EQ(c.nextStation, reply[0]);
        EXPECT_EQ(0x21, reply[3] * 256 + reply[4]);
        EXPECT_EQ(c.waits, fresh.lateReplyWaits());
        EXPECT_EQ(c.dropped, fresh.lateRepliesDropped());
    }
}

}  // namespace
}  // namespace pv::serial
