// Adapter discovery and address assignment against fake adapters on loopback.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <thread>

#include "serial/CSerial.h"

namespace pv::serial {
namespace {

using namespace std::chrono_literals;

// A UDP socket on loopback standing for the adapters: answers each query with the given replies.
class FakeAdapters {
public:
    explicit FakeAdapters(std::vector<std::vector<std::uint8_t>> replies)
        : replies_(std::move(replies)) {
        fd_ = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        socklen_t len = sizeof sa;
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len);
        port = ntohs(sa.sin_port);
        timeval tv{0, 50000};
        ::setsockopt(fd_, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
        thread_ = std::thread([this] { run(); });
    }
    ~FakeAdapters() {
        stop_ = true;
        thread_.join();
        ::close(fd_);
    }
    int port = 0;
    std::vector<std::uint8_t> lastQuery() {
        std::lock_guard lock(mutex_);
        return lastQuery_;
    }

private:
    void run() {
        while (!stop_) {
            std::uint8_t buf[64];
            sockaddr_in from{};
            socklen_t len = sizeof from;
            const ssize_t n =
                ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
            if (n <= 0) continue;
            {
                std::lock_guard lock(mutex_);
                lastQuery_.assign(buf, buf + n);
            }
            for (const auto& r : replies_)
                ::sendto(fd_, r.data(), r.size(), 0, reinterpret_cast<sockaddr*>(&from), len);
        }
    }
    int fd_ = -1;
    std::mutex mutex_;
    std::vector<std::uint8_t> lastQuery_;
    std::vector<std::vector<std::uint8_t>> replies_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

std::vector<std::uint8_t> reply(std::uint8_t kind, std::uint8_t lastMacByte) {
    std::vector<std::uint8_t> r(30, 0);
    r[3] = kind;
    const std::uint8_t mac[6] = {0x00, 0x20, 0x4a, 0x14, 0x01, lastMacByte};
    std::copy(mac, mac + 6, r.begin() + 24);
    return r;
}

void pointAt(CSerial& link, int port) {
    link.discoveryAddress = "127.0.0.1";
    link.discoveryPort = port;
    link.discoveryLocalPort = 0;
    link.discoveryWait = 300ms;
}

TEST(Discovery, ListsEveryReplyInArrivalOrderAndIgnoresOthers) {
    FakeAdapters adapters(
        {reply(0xF7, 0x18), reply(0x00, 0x99), reply(0xF7, 0x19), reply(0xF7, 0x18)});
    CSerial link;
    pointAt(link, adapters.port);
    std::vector<NetAdapter> found = {NetAdapter{}};
    ASSERT_EQ(3, link.SearchIP(found));
    EXPECT_EQ("00-20-4a-14-01-18", found[0].mac);
    EXPECT_EQ("00-20-4a-14-01-19", found[1].mac);
    EXPECT_EQ("00-20-4a-14-01-18", found[2].mac);  // the same adapter twice is listed twice
    EXPECT_EQ("127.0.0.1", found[0].ip);
    EXPECT_TRUE(found[0].name.empty());
    EXPECT_EQ((std::vector<std::uint8_t>{0, 0, 0, 0xF6}), adapters.lastQuery());
}

TEST(Discovery, NoAdapterGivesAnEmptyList) {
    FakeAdapters adapters({});
    CSerial link;
    pointAt(link, adapters.port);
    std::vector<NetAdapter> found(2);
    EXPECT_EQ(0, link.SearchIP(found));
    EXPECT_TRUE(found.empty());
}

TEST(Discovery, AddressChangeNeedsTheAdaptersConfirmation) {
    FakeAdapters confirming({reply(0xF9, 0x18)});
    CSerial link;
    pointAt(link, confirming.port);
    EXPECT_EQ(1, link.setIPAddress("192.168.1.50", "00-20-4a-14-01-18"));
    const std::vector<std::uint8_t> q = confirming.lastQuery();
    ASSERT_EQ(14u, q.size());
    EXPECT_EQ(0xF8, q[3]);
    EXPECT_EQ(0x18, q[9]);
    EXPECT_EQ((std::vector<std::uint8_t>{192, 168, 1, 50}),
              std::vector<std::uint8_t>(q.begin() + 10, q.end()));
    EXPECT_EQ(0, link.setIPAddress("192.168.1.50", "00-20-4a-14-01-77"));  // another adapter
    EXPECT_EQ(0, link.setIPAddress("192.168.1.500", "00-20-4a-14-01-18"));
    EXPECT_EQ(0, link.setIPAddress("192.168.1.5", "not a mac"));
}

}  // namespace
}  // namespace pv::serial
