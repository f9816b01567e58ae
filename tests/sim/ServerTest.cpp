// The virtual bus served on a real pseudo-terminal and a real loopback TCP socket, spoken to with
// raw bytes by a small client of the test's own.

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <thread>

#include "SimTestUtil.h"
#include "sim/PtyServer.h"
#include "sim/TcpServer.h"

namespace pv::sim::test {
namespace {

using Clock = std::chrono::steady_clock;

// Reads until `want` bytes arrived or two seconds passed.
Bytes readReply(int fd, std::size_t want) {
    Bytes out;
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (out.size() < want && Clock::now() < deadline) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 100) <= 0) continue;
        std::uint8_t buf[256];
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n <= 0) break;
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

bool sendAll(int fd, const Bytes& b) {
    return ::write(fd, b.data(), b.size()) == static_cast<ssize_t>(b.size());
}

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<std::uint16_t>(port));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

const Bytes kDriveTypeReply = withCrc({1, 3, 2, 0x07, 0x40});
const Bytes kSpeedReply = withCrc({1, 3, 4, 0, 0x21, 0, 135});

class Served : public ::testing::Test {
protected:
    void SetUp() override {
        bus.addStation(1, 0x35021);
        bus.addStation(7, 0x35003);
    }

    // Servers run on their own threads and stop when the test ends, before the bus goes.
    void servePty(const StreamOptions& o) {
        pty = std::make_unique<PtyServer>(bus, o);
        std::string error;
        ASSERT_TRUE(pty->open(error)) << error;
        pty->start();
    }
    void serveTcp() {
        tcp = std::make_unique<TcpServer>(bus, StreamOptions{});
        std::string error;
        ASSERT_TRUE(tcp->listen("127.0.0.1", 0, error)) << error;
        ASSERT_GT(tcp->port(), 0);
        tcp->start();
    }
    int openSlave() const { return ::open(pty->slavePath().c_str(), O_RDWR | O_NOCTTY); }

    VirtualBus bus{"/nonexistent-folder"};
    std::unique_ptr<PtyServer> pty;
    std::unique_ptr<TcpServer> tcp;
};

// Station 1's drive-type word asked and answered over `fd`.
void expectDriveType(int fd) {
    ASSERT_TRUE(sendAll(fd, readFrame(1, 0x252F, 1)));
    EXPECT_EQ(readReply(fd, 7), kDriveTypeReply);
}

TEST_F(Served, PseudoTerminalRoundTrip) {
    StreamOptions o;
    o.line.baud = 38400;
    ASSERT_NO_FATAL_FAILURE(servePty(o));
    const int fd = openSlave();
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    EXPECT_EQ(::cfgetospeed(&t), static_cast<speed_t>(B38400));  // the configured line
    EXPECT_EQ(t.c_lflag & ICANON, 0u);                           // raw, no line editing

    ASSERT_TRUE(sendAll(fd, readFrame(1, 0x0D00, 2)));
    EXPECT_EQ(readReply(fd, 9), kSpeedReply);
    ASSERT_TRUE(sendAll(fd, writeFrame(7, 0xA000, 0xBEEF)));
    EXPECT_EQ(readReply(fd, 8), writeFrame(7, 0xA000, 0xBEEF));
    ::close(fd);

    // The next program to open the terminal is served as well.
    const int again = openSlave();
    ASSERT_GE(again, 0);
    expectDriveType(again);
    ::close(again);
}

TEST_F(Served, PseudoTerminalFollowsTheLineSettingsTheProgramSets) {
    StreamOptions o;
    o.wireTime = true;
    ASSERT_NO_FATAL_FAILURE(servePty(o));
    const int fd = openSlave();
    ASSERT_GE(fd, 0);
    termios t{};
    ASSERT_EQ(::tcgetattr(fd, &t), 0);
    ::cfsetspeed(&t, B115200);
    t.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB);  // 8N1: 10 bits a character
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &t), 0);
    expectDriveType(fd);
    EXPECT_EQ(bus.wireTime().baud(), 115200);
    EXPECT_EQ(bus.wireTime().format().bitsPerChar(), 10.0);
    ::close(fd);
}

TEST_F(Served, BroadcastOfAProgramThatClosesThePortAtOnceIsCarriedOut) {
    ASSERT_NO_FATAL_FAILURE(servePty(StreamOptions{}));
    const std::uint64_t before = bus.framesSeen();
    const int fd = openSlave();
    ASSERT_GE(fd, 0);
    // A broadcast has no reply to wait for: the program writes it and closes the port before
    // the frame's silence has passed.
    ASSERT_TRUE(sendAll(fd, writeFrame(0, 0xA000, 0xBEEF)));
    ::close(fd);
    const auto deadline = Clock::now() + std::chrono::seconds(2);
    while (bus.framesSeen() == before && Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    ASSERT_GT(bus.framesSeen(), before);
    EXPECT_EQ(readOne(bus, 1, 0xA000), 0xBEEF);
    EXPECT_EQ(readOne(bus, 7, 0xA000), 0xBEEF);
}

TEST_F(Served, RequestsReadTogetherFromAPseudoTerminalAreEachAnswered) {
    ASSERT_NO_FATAL_FAILURE(servePty(StreamOptions{}));
    const int fd = openSlave();
    ASSERT_GE(fd, 0);
    // What a server that read late finds: the next request right behind a whole one.
    Bytes both = readFrame(1, 0x252F, 1);
    const Bytes second = readFrame(1, 0x0D00, 2);
    both.insert(both.end(), second.begin(), second.end());
    ASSERT_TRUE(sendAll(fd, both));
    Bytes expected = kDriveTypeReply;
    expected.insert(expected.end(), kSpeedReply.begin(), kSpeedReply.end());
    EXPECT_EQ(readReply(fd, expected.size()), expected);
    ::close(fd);
}

// A program that floods the line without a pause and then asks right behind it: the drive
// keeps only the newest bytes and still finds the request among them.
TEST_F(Served, RequestRightBehindAFloodIsAnswered) {
    ASSERT_NO_FATAL_FAILURE(servePty(StreamOptions{}));
    const int fd = openSlave();
    ASSERT_GE(fd, 0);
    Bytes flood(20000, 0);
    const Bytes request = readFrame(1, 0x252F, 1);
    flood.insert(flood.end(), request.begin(), request.end());
    ASSERT_TRUE(sendAll(fd, flood));
    EXPECT_EQ(readReply(fd, kDriveTypeReply.size()), kDriveTypeReply);
    ::close(fd);
}

TEST_F(Served, TcpRoundTripOneClientAfterAnother) {
    ASSERT_NO_FATAL_FAILURE(serveTcp());
    for (int client = 0; client < 2; ++client) {
        const int fd = connectTo(tcp->port());
        ASSERT_GE(fd, 0);
        ASSERT_TRUE(sendAll(fd, readFrame(1, 0x0D00, 2)));
        EXPECT_EQ(readReply(fd, 9), kSpeedReply);
        // A function-16 frame split across two segments is still one request.
        const Bytes w = writeManyFrame(7, 0xA010, {1, 2, 3});
        ASSERT_TRUE(sendAll(fd, Bytes(w.begin(), w.begin() + 5)));
        ASSERT_TRUE(sendAll(fd, Bytes(w.begin() + 5, w.end())));
        EXPECT_EQ(readReply(fd, 8), withCrc({7, 16, 0xA0, 0x10, 0, 3}));
        ::close(fd);
    }
}

TEST_F(Served, TcpDisconnectFaultDropsTheConnection) {
    ASSERT_NO_FATAL_FAILURE(serveTcp());
    bus.faults(1).set(FaultKind::Disconnect);
    int fd = connectTo(tcp->port());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(sendAll(fd, readFrame(1, 0x252F, 1)));
    pollfd p{fd, POLLIN, 0};
    ASSERT_EQ(::poll(&p, 1, 2000), 1);
    std::uint8_t b = 0;
    EXPECT_EQ(::read(fd, &b, 1), 0);  // end of stream, not a reply
    ::close(fd);
    fd = connectTo(tcp->port());
    ASSERT_GE(fd, 0);
    expectDriveType(fd);
    ::close(fd);
}

TEST_F(Served, LateReplyOverTcpLandsAfterTheNextTransactionsReply) {
    ASSERT_NO_FATAL_FAILURE(serveTcp());
    bus.faults(1).set(FaultKind::Late, FaultMode::Once, 300);
    const int fd = connectTo(tcp->port());
    ASSERT_GE(fd, 0);
    ASSERT_TRUE(sendAll(fd, readFrame(1, 0x0D00, 2)));  // answered only after 300 ms
    ASSERT_TRUE(sendAll(fd, readFrame(1, 0x252F, 1)));  // answered at once
    Bytes both = kDriveTypeReply;
    both.insert(both.end(), kSpeedReply.begin(), kSpeedReply.end());
    EXPECT_EQ(readReply(fd, both.size()), both);
    ::close(fd);
}

TEST_F(Served, TcpRefusesABadAddress) {
    TcpServer server(bus, {});
    std::string error;
    EXPECT_FALSE(server.listen("not-an-address", 0, error));
}

TEST(StreamFraming, SilenceAndLengths) {
    EXPECT_EQ(frameSilence({9600, {8, 0, 2.0f}}).count(), 4010);   // 3.5 x 1145.8 us
    EXPECT_EQ(frameSilence({38400, {8, 0, 2.0f}}).count(), 1750);  // never below 1.75 ms
    EXPECT_EQ(expectedRequestLength({1}), 0u);
    EXPECT_EQ(expectedRequestLength({1, 3}), 8u);
    EXPECT_EQ(expectedRequestLength({1, 6, 0}), 8u);
    EXPECT_EQ(expectedRequestLength({1, 16, 0, 0, 0, 2}), 0u);
    EXPECT_EQ(expectedRequestLength({1, 16, 0, 0, 0, 2, 4}), 13u);
    EXPECT_EQ(expectedRequestLength({1, 4, 0}), 0u);
}

}  // namespace
}  // namespace pv::sim::test
