#include "sim/VirtualAdapters.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "res/SimTexts.h"

namespace pv::sim {

namespace {
constexpr std::uint8_t kQuery = 0xF6, kReply = 0xF7, kSetIp = 0xF8, kSetIpDone = 0xF9;
constexpr std::size_t kReplyBytes = 30, kMacAt = 24;
}  // namespace

bool parseMac(const std::string& text, Mac& mac) {
    unsigned v[6];
    char s[5];
    if (std::sscanf(text.c_str(), "%2x%c%2x%c%2x%c%2x%c%2x%c%2x", &v[0], &s[0], &v[1], &s[1],
                    &v[2], &s[2], &v[3], &s[3], &v[4], &s[4], &v[5]) != 11 ||
        text.size() != 17)
        return false;
    for (const char c : s)
        if (c != '-' && c != ':') return false;
    for (int i = 0; i < 6; ++i) mac[i] = static_cast<std::uint8_t>(v[i]);
    return true;
}

std::string macText(const Mac& m) {
    char t[18];
    std::snprintf(t, sizeof t, "%.2x-%.2x-%.2x-%.2x-%.2x-%.2x", m[0], m[1], m[2], m[3], m[4], m[5]);
    return t;
}

bool parseAdapter(const std::string& text, AdapterSetting& out) {
    const auto at = text.find('@');
    if (!parseMac(text.substr(0, at), out.mac)) return false;
    if (at == std::string::npos) return true;
    in_addr a{};
    out.ip = text.substr(at + 1);
    return ::inet_pton(AF_INET, out.ip.c_str(), &a) == 1;
}

VirtualAdapters::VirtualAdapters(StreamPeer& bus, StreamOptions options, int tcpPort)
    : bus_(bus), options_(std::move(options)), tcpPort_(tcpPort) {}

VirtualAdapters::~VirtualAdapters() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<TcpServer> VirtualAdapters::serveAt(const std::string& ip, std::string& error) {
    auto server = std::make_unique<TcpServer>(bus_, options_);
    if (!server->listen(ip, tcpPort_, error)) return nullptr;
    tcpPort_ = server->port();
    server->start();
    return server;
}

bool VirtualAdapters::add(const AdapterSetting& setting, std::string& error) {
    std::lock_guard lock(mutex_);
    auto server = serveAt(setting.ip, error);
    if (!server) {
        error = setting.ip + ": " + error;
        return false;
    }
    adapters_.push_back({setting, std::move(server)});
    return true;
}

std::vector<AdapterSetting> VirtualAdapters::adapters() const {
    std::lock_guard lock(mutex_);
    std::vector<AdapterSetting> out;
    for (const auto& a : adapters_) out.push_back(a.setting);
    return out;
}

bool VirtualAdapters::listen(int udpPort, std::string& error) {
    fd_ = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    const int one = 1;
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(static_cast<std::uint16_t>(udpPort));
    sa.sin_addr.s_addr = htonl(INADDR_ANY);
    // Queries come as broadcasts: other programs on this machine may listen on the port too.
    if (fd_ < 0 || ::setsockopt(fd_, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one) != 0 ||
        ::bind(fd_, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        error = std::strerror(errno);
        return false;
    }
    socklen_t len = sizeof sa;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len);
    udpPort_ = ntohs(sa.sin_port);
    thread_ = std::thread([this] { run(); });
    return true;
}

void VirtualAdapters::run() {
    std::uint8_t buf[1024];
    while (!stop_.load()) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 50) <= 0) continue;
        sockaddr_in from{};
        socklen_t len = sizeof from;
        const ssize_t n =
            ::recvfrom(fd_, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &len);
        if (n > 0) answer(buf, static_cast<std::size_t>(n), from);
    }
}

void VirtualAdapters::reply(const AdapterSetting& a, std::uint8_t kind, const sockaddr_in& to) {
    std::uint8_t r[kReplyBytes] = {};
    r[3] = kind;
    std::copy(a.mac.begin(), a.mac.end(), r + kMacAt);
    // Sent from the adapter's own address: that is the address discovery reports.
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return;
    sockaddr_in self{};
    self.sin_family = AF_INET;
    ::inet_pton(AF_INET, a.ip.c_str(), &self.sin_addr);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&self), sizeof self) == 0)
        ::sendto(fd, r, sizeof r, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::close(fd);
}

void VirtualAdapters::answer(const std::uint8_t* data, std::size_t len, const sockaddr_in& from) {
    if (len == 4 && data[3] == kQuery) {
        for (const auto& a : adapters()) reply(a, kReply, from);
        ++queries_;
        return;
    }
    if (len < 14 || data[3] != kSetIp) return;
    char ip[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, data + 10, ip, sizeof ip);
    std::unique_lock lock(mutex_);
    for (auto& a : adapters_) {
        if (!std::equal(a.setting.mac.begin(), a.setting.mac.end(), data + 4)) continue;
        std::string error;
        if (a.setting.ip != ip) {
            a.server.reset();  // the old address is given up first: the port moves along
            a.server = serveAt(ip, error);
            if (!a.server) {
                std::fprintf(stderr, "%s", res::sim::kPrefix);
                std::fprintf(stderr, res::sim::kAdapterCannotMove, macText(a.setting.mac).c_str(),
                             ip, error.c_str());
                a.server = serveAt(a.setting.ip, error);
                return;
            }
            a.setting.ip = ip;
        }
        const AdapterSetting moved = a.setting;
        lock.unlock();
        reply(moved, kSetIpDone, from);
        return;
    }
}

}  // namespace pv::sim
