// CSerial over a real pseudo-terminal and a real loopback TCP socket: the kernel's byte streams
// in place of the virtual wire, with the drive end played by a thread. How a spoilt reply ends
// on each wire is pinned in FrameEndTest.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <pty.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <memory>

#include "FdDrive.h"
#include "serial/CSerial.h"
#include "serial/SerialPort.h"

namespace pv::serial {
namespace {

using namespace std::chrono_literals;
using test::FdDrive;
using test::readRegs;

class PtyLink : public ::testing::Test {
protected:
    void SetUp() override {
        char name[128] = {};
        ASSERT_EQ(0, ::openpty(&master, &slave, name, nullptr, nullptr));
        path = name;
        drive = std::make_unique<FdDrive>(master);
        ASSERT_NE(0, link.InitComm(path, 38400, 8, 0, 1.0f)) << link.lastFailure();
        link.setResponseTimeout(2000ms);
    }
    void TearDown() override {
        link.Close();
        drive.reset();
        if (master >= 0) ::close(master);
        ::close(slave);
    }

    int master = -1, slave = -1;
    std::string path;
    std::unique_ptr<FdDrive> drive;
    CSerial link;
};

TEST_F(PtyLink, ReadsRegistersOverTheTerminal) {
    std::vector<std::uint8_t> reply;
    ASSERT_EQ(ErrNone, readRegs(link, 0x0D00, 2, reply));
    EXPECT_EQ(0x0D01, reply[3] * 256 + reply[4]);
    ASSERT_EQ(ErrNone, readRegs(link, 0x2520, 14, reply));
    EXPECT_EQ(0x252E, reply[29] * 256 + reply[30]);
}

TEST_F(PtyLink, SecondOpenOfTheSamePortIsRefused) {
    CSerial second;
    EXPECT_EQ(0, second.InitComm(path, 9600, 8, 0, 2.0f));
    link.Close();
    EXPECT_NE(0, second.InitComm(path, 9600, 8, 0, 2.0f));
}

TEST_F(PtyLink, VanishedDeviceFailsTheTransactionAtOnce) {
    drive.reset();
    ::close(master);
    master = -1;
    std::vector<std::uint8_t> reply;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrTimeOut, readRegs(link, 0, 1, reply));
    EXPECT_EQ(ErrTimeOut, readRegs(link, 0, 1, reply));
    EXPECT_LT(std::chrono::steady_clock::now() - start, link.responseTimeout() / 2);
}

TEST(SerialNames, ComNamesMapToOnBoardPorts) {
    EXPECT_EQ("/dev/ttyS0", SerialPort::deviceForName("COM1"));
    EXPECT_EQ("/dev/ttyS11", SerialPort::deviceForName("\\\\.\\COM12"));
    EXPECT_EQ("/dev/ttyUSB0", SerialPort::deviceForName(" ttyUSB0 "));
    EXPECT_EQ("/dev/pts/3", SerialPort::deviceForName("/dev/pts/3"));
    // A number no port has is a device name like any other, not a crash.
    EXPECT_EQ("/dev/COM99999999999", SerialPort::deviceForName("COM99999999999"));
    CSerial link;
    EXPECT_EQ(0, link.InitComm("/dev/pv-no-such-port", 9600, 8, 0, 2.0f));
    EXPECT_FALSE(link.lastFailure().empty());
}

class TcpLink : public ::testing::Test {
protected:
    void SetUp() override {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        ASSERT_GE(listener, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ASSERT_EQ(0, ::bind(listener, reinterpret_cast<sockaddr*>(&sa), sizeof sa));
        ASSERT_EQ(0, ::listen(listener, 1));
        socklen_t len = sizeof sa;
        ::getsockname(listener, reinterpret_cast<sockaddr*>(&sa), &len);
        port = ntohs(sa.sin_port);
        link.tcpAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        link.tcpPort = port;
        ASSERT_NE(0, link.InitComm("TCPIP", 9600, 8, 0, 2.0f)) << link.lastFailure();
        link.setResponseTimeout(2000ms);
        conn = ::accept(listener, nullptr, nullptr);
        ASSERT_GE(conn, 0);
        drive = std::make_unique<FdDrive>(conn);
    }
    void TearDown() override {
        link.Close();
        drive.reset();
        if (conn >= 0) ::close(conn);
        ::close(listener);
    }

    int listener = -1, conn = -1;
    int port = 0;
    std::unique_ptr<FdDrive> drive;
    CSerial link;
};

TEST_F(TcpLink, ReadsRegistersThroughTheAdapter) {
    std::vector<std::uint8_t> reply;
    ASSERT_EQ(ErrNone, readRegs(link, 0x0102, 3, reply));
    EXPECT_EQ(0x0103, reply[3] * 256 + reply[4]);
    EXPECT_EQ(PortKind::Tcp, link.portKind());
}

TEST_F(TcpLink, ClosedConnectionFailsTheTransactionAtOnce) {
    drive.reset();
    ::close(conn);
    conn = -1;
    std::vector<std::uint8_t> reply;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ErrTimeOut, readRegs(link, 0, 1, reply));
    EXPECT_LT(std::chrono::steady_clock::now() - start, link.responseTimeout() / 2);
}

TEST_F(TcpLink, RefusedConnectionDoesNotOpen) {
    CSerial other;
    other.tcpAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::close(listener);
    listener = ::socket(AF_INET, SOCK_STREAM, 0);
    other.tcpPort = port;  // nobody listens there any more
    EXPECT_EQ(0, other.InitComm("TCPIP", 9600, 8, 0, 2.0f));
    EXPECT_FALSE(other.isOpen());
}

}  // namespace
}  // namespace pv::serial
