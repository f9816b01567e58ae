#pragma once
// Virtual network adapters in front of the drive bus, as n350-sim --adapter offers them: each
// has a MAC and an IPv4 address with the bus on a TCP port there, and all of them answer the
// UDP discovery query (byte 3 0xF6) with a reply carrying their MAC (byte 3 0xF7, MAC at 24..29)
// sent from their own address. The address-change datagram (byte 3 0xF8, the MAC at 4..9, the
// new address at 10..13) moves the adapter with that MAC: its TCP server is bound again at the
// new address, and it confirms with byte 3 0xF9 and its MAC at 24..29, from the new address.
// An address that cannot be bound here gets no confirmation. Any 127.x.y.z works on loopback.

#include <netinet/in.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "sim/StreamServer.h"
#include "sim/TcpServer.h"

namespace pv::sim {

using Mac = std::array<std::uint8_t, 6>;

// "00-20-4a-14-01-18" (also with colons); false for anything else.
bool parseMac(const std::string& text, Mac& mac);
std::string macText(const Mac& mac);

struct AdapterSetting {
    Mac mac{};
    std::string ip = "127.0.0.1";
};
// "MAC[@IP]", as --adapter takes it.
bool parseAdapter(const std::string& text, AdapterSetting& out);

class VirtualAdapters {
public:
    // `tcpPort`: where every adapter's TCP server listens (0: a free port, then the same one
    // for the others).
    VirtualAdapters(StreamPeer& bus, StreamOptions options, int tcpPort);
    ~VirtualAdapters();
    VirtualAdapters(const VirtualAdapters&) = delete;
    VirtualAdapters& operator=(const VirtualAdapters&) = delete;

    // Adds an adapter and starts its TCP server. False with `error`.
    bool add(const AdapterSetting& setting, std::string& error);
    // Listens for datagrams on `udpPort` of every local address (0: a free port) and answers
    // them on a thread of its own. False with `error`.
    bool listen(int udpPort, std::string& error);
    int udpPort() const { return udpPort_; }
    int tcpPort() const { return tcpPort_; }
    // The adapters as they are now (addresses change on request).
    std::vector<AdapterSetting> adapters() const;
    // Queries answered so far.
    int queriesAnswered() const { return queries_.load(); }

private:
    struct Adapter {
        AdapterSetting setting;
        std::unique_ptr<TcpServer> server;
    };
    void run();
    void answer(const std::uint8_t* data, std::size_t len, const sockaddr_in& from);
    // Starts a TCP server for the bus at `ip`; nullptr with `error`.
    std::unique_ptr<TcpServer> serveAt(const std::string& ip, std::string& error);
    // Sends a 30-byte reply of `kind` with the adapter's MAC from its address to `to`.
    void reply(const AdapterSetting& a, std::uint8_t kind, const sockaddr_in& to);

    StreamPeer& bus_;
    StreamOptions options_;
    int tcpPort_;
    int udpPort_ = 0;
    int fd_ = -1;
    mutable std::mutex mutex_;
    std::vector<Adapter> adapters_;
    std::atomic<bool> stop_{false};
    std::atomic<int> queries_{0};
    std::thread thread_;
};

}  // namespace pv::sim
