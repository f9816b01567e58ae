// When a reply is over: a reply that pauses mid-frame is still received whole on every wire, and
// a peer that never stops sending cannot hold a transaction past its time-out.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>

#include "ScriptedPeer.h"
#include "serial/CSerial.h"
#include "serial/VirtualWire.h"

namespace pv::serial {
namespace {

using namespace std::chrono_literals;
using test::readRequest;
using test::Script;
using test::ScriptedFdPeer;
using test::ScriptedVirtualPeer;

enum class Wire { Virtual, Pty, Tcp };

const char* wireName(Wire w) {
    switch (w) {
        case Wire::Virtual:
            return "virtual";
        case Wire::Pty:
            return "pty";
        case Wire::Tcp:
            return "tcp";
    }
    return "?";
}

// One link at 9600 baud on the chosen wire, with the scripted peer at the other end.
class ScriptedLine {
public:
    ScriptedLine(Wire wire, Script script) : wire_(wire) {
        switch (wire) {
            case Wire::Virtual:
                virtualPeer_ = std::make_shared<ScriptedVirtualPeer>(std::move(script));
                setVirtualPeer(virtualPeer_);
                opened_ = link.InitComm("SIM", 9600, 8, 0, 2.0f) != 0;
                break;
            case Wire::Pty: {
                char name[128] = {};
                if (::openpty(&peerFd_, &slaveFd_, name, nullptr, nullptr) != 0) return;
                fdPeer_ = std::make_unique<ScriptedFdPeer>(peerFd_, std::move(script));
                opened_ = link.InitComm(name, 9600, 8, 0, 2.0f) != 0;
                break;
            }
            case Wire::Tcp: {
                listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
                sockaddr_in sa{};
                sa.sin_family = AF_INET;
                sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                socklen_t len = sizeof sa;
                if (::bind(listener_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0 ||
                    ::listen(listener_, 1) != 0 ||
                    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&sa), &len) != 0)
                    return;
                link.tcpAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
                link.tcpPort = ntohs(sa.sin_port);
                opened_ = link.InitComm("TCPIP", 9600, 8, 0, 2.0f) != 0;
                peerFd_ = ::accept(listener_, nullptr, nullptr);
                fdPeer_ = std::make_unique<ScriptedFdPeer>(peerFd_, std::move(script));
                break;
            }
        }
    }
    ~ScriptedLine() {
        link.Close();
        fdPeer_.reset();
        if (wire_ == Wire::Virtual) setVirtualPeer(nullptr);
        for (int fd : {peerFd_, slaveFd_, listener_})
            if (fd >= 0) ::close(fd);
    }
    bool opened() const { return opened_; }
    // True while the peer still has bytes of its script to send.
    bool peerStillSending() const {
        if (fdPeer_) return !fdPeer_->finished();
        return std::chrono::steady_clock::now() < virtualPeer_->scriptEnd();
    }

    CSerial link;

private:
    Wire wire_;
    bool opened_ = false;
    int peerFd_ = -1, slaveFd_ = -1, listener_ = -1;
    std::shared_ptr<ScriptedVirtualPeer> virtualPeer_;
    std::unique_ptr<ScriptedFdPeer> fdPeer_;
};

// A USB adapter or a TCP bridge delivers a frame in pieces; pauses longer than the 3.5
// characters that end a frame on the line (4.0 ms at 9600) must not cut the reply.
TEST(FrameEnd, ReplyThatPausesMidFrameIsReceivedWhole) {
    struct Case {
        std::size_t at;  // bytes before the pause (the reply to a 4-register read has 13)
        std::chrono::microseconds pause;
    };
    const Case cases[] = {
        {1, 4300us}, {3, 4300us}, {11, 4300us}, {12, 4300us},
        {2, 20ms},   {7, 20ms},   {12, 20ms},   {5, 120ms},
    };
    for (const Wire wire : {Wire::Virtual, Wire::Pty, Wire::Tcp}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(wireName(wire)) + " pause after byte " +
                         std::to_string(c.at) + " for " + std::to_string(c.pause.count()) + " us");
            const auto request = readRequest(1, 0x0100, 4);
            ScriptedLine line(wire, test::pausedReply(request, c.at, c.pause));
            ASSERT_TRUE(line.opened());
            std::vector<std::uint8_t> reply(13);
            ASSERT_EQ(ErrNone, line.link.CommandSend(request.data(), request.size(), reply.data(),
                                                     reply.size()))
                << line.link.lastFailure();
            EXPECT_EQ(0x0101, reply[3] * 256 + reply[4]);
            EXPECT_EQ(0x0104, reply[9] * 256 + reply[10]);
        }
    }
}

// What ends a reception early, and what makes it wait for more.
TEST(FrameEnd, OnlyACompleteFrameEndsTheReceptionEarly) {
    const auto request = readRequest(1, 0x0100, 4);
    std::vector<std::uint8_t> exception = {1, 0x83, 2};
    test::appendCrc(exception);
    std::vector<std::uint8_t> shortFrame = {1, 0x03, 2, 0x12, 0x34};  // one register, not four
    test::appendCrc(shortFrame);
    auto badCrc = exception;
    badCrc.back() ^= 0xFF;
    const auto full = test::TestPeer::replyFor(request);
    const std::vector<std::uint8_t> half(full.begin(), full.begin() + 6);

    struct Case {
        const char* what;
        std::vector<std::uint8_t> bytes;
        ErrType expected;
        bool endsEarly;  // before the time-out
    };
    const Case cases[] = {
        {"complete exception reply", exception, ErrNone, true},
        {"frame of another length with a good CRC", shortFrame, ErrMalformed, true},
        {"exception reply with a bad CRC", badCrc, ErrCrc, false},
        {"first half of the reply", half, ErrMalformed, false},
    };
    for (const Wire wire : {Wire::Virtual, Wire::Pty, Wire::Tcp}) {
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(wireName(wire)) + ": " + c.what);
            Script script;
            script.pieces.push_back({{}, c.bytes});
            ScriptedLine line(wire, script);
            ASSERT_TRUE(line.opened());
            line.link.setResponseTimeout(300ms);
            std::vector<std::uint8_t> reply(13);
            const auto start = std::chrono::steady_clock::now();
            EXPECT_EQ(c.expected, line.link.CommandSend(request.data(), request.size(),
                                                        reply.data(), reply.size()));
            const bool early =
                std::chrono::steady_clock::now() - start < line.link.responseTimeout();
            EXPECT_EQ(c.endsEarly, early);
        }
    }
}

// A whole frame of another length is over once the line has been silent for 3.5 characters (a
// network adapter's segment: 2 ms more): bytes that come 12 ms later at 9600 are not part of it.
TEST(FrameEnd, ShortWholeFrameEndsAtTheLinesSilence) {
    const auto request = readRequest(1, 0x0100, 4);
    std::vector<std::uint8_t> shortFrame = {1, 0x03, 2, 0x12, 0x34};
    test::appendCrc(shortFrame);
    for (const Wire wire : {Wire::Virtual, Wire::Pty, Wire::Tcp}) {
        SCOPED_TRACE(wireName(wire));
        Script script;
        script.pieces.push_back({{}, shortFrame});
        script.pieces.push_back({12ms, {0x55, 0x66, 0x77, 0x88, 0x99, 0xAA}});
        ScriptedLine line(wire, script);
        ASSERT_TRUE(line.opened());
        std::vector<std::uint8_t> reply(13);
        EXPECT_EQ(ErrMalformed, line.link.CommandSend(request.data(), request.size(),
                                                      reply.data(), reply.size()));
        EXPECT_EQ("reply of 7 bytes, 13 expected", line.link.lastFailure());
    }
}

// A peer that sends a byte every millisecond for ten seconds, right after a whole reply or
// instead of one: the transaction gives up at its time-out while the peer is still sending.
TEST(FrameEnd, BabblingPeerCannotHoldATransactionPastItsTimeOut) {
    const auto request = readRequest(1, 0x0100, 4);
    for (const Wire wire : {Wire::Virtual, Wire::Pty, Wire::Tcp}) {
        for (const bool afterReply : {true, false}) {
            SCOPED_TRACE(std::string(wireName(wire)) +
                         (afterReply ? ": babble after the reply" : ": babble alone"));
            Script script;
            if (afterReply) script.pieces.push_back({{}, test::TestPeer::replyFor(request)});
            script.babble = 10000;
            ScriptedLine line(wire, script);
            ASSERT_TRUE(line.opened());
            line.link.setResponseTimeout(200ms);
            std::vector<std::uint8_t> reply(13);
            EXPECT_NE(ErrNone, line.link.CommandSend(request.data(), request.size(),
                                                     reply.data(), reply.size()));
            EXPECT_TRUE(line.peerStillSending());
        }
    }
}

}  // namespace
}  // namespace pv::serial
