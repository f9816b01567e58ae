#include "serial/CSerial.h"

#include <arpa/inet.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "serial/Crc16.h"
#include "serial/SerialPort.h"
#include "serial/TcpPort.h"
#include "serial/VirtualPort.h"
#include "serial/VirtualWire.h"
#include "serial/Wakeup.h"

namespace pv::serial {

namespace {

using std::chrono::microseconds;
using std::chrono::milliseconds;

constexpr microseconds kMinSilence{1750};
// USB serial adapters hand bytes to the host in bursts up to 16 ms apart: a shorter silence
// after a frame with a good CRC may still be followed by more of it.
constexpr microseconds kUsbSilence{20000};
// A network adapter forwards what its line gives it once the line falls silent; its segment
// reaches us a little after that.
constexpr microseconds kSegmentDelay{2000};

std::string upperTrimmed(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    std::string out = s.substr(b, e - b + 1);
    for (auto& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

bool isModbusFunction(std::uint8_t f) {
    return f == 0x03 || f == 0x06 || f == 0x10;
}

bool parseMac(const std::string& text, std::array<std::uint8_t, 6>& mac) {
    unsigned v[6];
    if (std::sscanf(text.c_str(), "%2x-%2x-%2x-%2x-%2x-%2x", &v[0], &v[1], &v[2], &v[3], &v[4],
                    &v[5]) != 6)
        return false;
    for (int i = 0; i < 6; ++i) mac[i] = static_cast<std::uint8_t>(v[i]);
    return true;
}

std::string formatMac(const std::uint8_t* b) {
    char text[18];
    std::snprintf(text, sizeof text, "%.2x-%.2x-%.2x-%.2x-%.2x-%.2x", b[0], b[1], b[2], b[3], b[4],
                  b[5]);
    return text;
}

// A UDP socket for the adapter protocol: broadcast allowed, bound to the discovery port, with a
// receive time-out so that the last recvfrom ends the exchange.
int openDiscoverySocket(int bindPort, milliseconds wait) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return -1;
    const int one = 1;
    ::setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &one, sizeof one);
    ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_port = htons(static_cast<std::uint16_t>(bindPort));
    local.sin_addr.s_addr = htonl(INADDR_ANY);
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(fd);
        return -1;
    }
    timeval tv{static_cast<time_t>(wait.count() / 1000),
               static_cast<suseconds_t>((wait.count() % 1000) * 1000)};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    return fd;
}

bool sendDatagram(int fd, const std::string& address, int port, const std::uint8_t* data,
                  std::size_t len) {
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<std::uint16_t>(port));
    if (::inet_pton(AF_INET, address.c_str(), &to.sin_addr) != 1) return false;
    return ::sendto(fd, data, len, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) ==
           static_cast<ssize_t>(len);
}

}  // namespace

CSerial::CSerial() {
    tcpAddress.sin_family = AF_INET;
    tcpAddress.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
}

CSerial::~CSerial() {
    Close();
}

int CSerial::InitComm(const std::string& port, int baud, int dataBits, int parity, float stopBits,
                      int inSize, int outSize) {
    (void)outSize;  // a request is written whole; only the reception needs a bound
    Close();
    failure_.clear();
    settings_ = LineSettings{baud, dataBits, parity, stopBits};
    maxReception_ = inSize > 0 ? static_cast<std::size_t>(inSize) : 2048;
    if (!SerialPort::supportedBaud(baud) || (dataBits != 7 && dataBits != 8) || parity < 0 ||
        parity > 2 || (stopBits != 1.0f && stopBits != 2.0f)) {
        failure_ = "unsupported line settings";
        return 0;
    }
    const std::string name = upperTrimmed(port);
    if (name == "SIM" || virtualPeer(name)) {
        auto p = std::make_unique<VirtualPort>(virtualPeer(name), settings_);
        if (!p->isOpen()) {
            failure_ = p->lastFailure();
            return 0;
        }
        port_ = std::move(p);
        kind_ = PortKind::Virtual;
        silenceFloor_ = kMinSilence;
    } else if (name == "TCPIP") {
        auto p = std::make_unique<TcpPort>();
        if (!p->open(tcpAddress.sin_addr.s_addr, static_cast<std::uint16_t>(tcpPort),
                     connectTimeout_)) {
            failure_ = p->lastFailure();
            return 0;
        }
        port_ = std::move(p);
        kind_ = PortKind::Tcp;
        silenceFloor_ = interFrameGap() + kSegmentDelay;
    } else {
        const std::string device = SerialPort::deviceForName(port);
        auto p = std::make_unique<SerialPort>();
        if (!p->open(device, settings_)) {
            failure_ = p->lastFailure();
            return 0;
        }
        port_ = std::move(p);
        kind_ = PortKind::Serial;
        silenceFloor_ = SerialPort::isUsbDevice(device) ? kUsbSilence : kMinSilence;
    }
    lastTraffic_ = Clock::time_point{};
    unanswered_ = Unanswered{};
    return 1;
}

void CSerial::Close() {
    if (port_) port_->close();
    port_.reset();
    kind_ = PortKind::None;
}

bool CSerial::isOpen() const {
    return port_ && port_->isOpen();
}

bool CSerial::wireGone() const {
    return port_ && port_->gone();
}

std::string CSerial::lastFailure() const {
    return failure_;
}

void CSerial::PurgeInput() {
    if (port_) port_->flushInput();
}

microseconds CSerial::interFrameGap() const {
    const auto charTime = settings_.charTime();
    return std::max(kMinSilence, microseconds(charTime.count() * 7 / 2));
}

microseconds CSerial::frameSilence() const {
    return std::max(interFrameGap(), silenceFloor_);
}

void CSerial::drainLateReplies(std::uint8_t station) {
    if (unanswered_.until == Clock::time_point{}) return;
    const auto until = unanswered_.until;
    if (Clock::now() >= until) {
        unanswered_ = Unanswered{};
        return;
    }
    // Another station's late answer carries that station's address: Read tells it apart and
    // drops it, so only a request to the same station has to wait.
    if (station != unanswered_.station) return;
    unanswered_ = Unanswered{};
    ++lateReplyWaits_;
    std::uint8_t junk[256];
    while (Clock::now() < until) {
        const long n = port_->recv(junk, sizeof junk, until);
        if (n < 0) break;
        if (n > 0) noteTraffic(port_->arrivedAt());
    }
}

std::size_t CSerial::lateReplyLength(std::size_t got) const {
    if (unanswered_.until == Clock::time_point{} || got < 2 || rx_[0] != unanswered_.station)
        return 0;
    if (unanswered_.function != 0 && rx_[1] == (unanswered_.function | 0x80)) return 5;
    if (rx_[1] == unanswered_.function) return unanswered_.replyLength;
    return 0;
}

void CSerial::waitGap() {
    // Counted from the end of the last frame on the wire: the time the caller spent on the
    // reply since then is part of the gap, not added to it.
    const auto ready = lastTraffic_ + interFrameGap();
    if (Clock::now() < ready) sleepUntil(ready);
}

int CSerial::Write(const std::uint8_t* data, std::size_t len, std::size_t* written, int timeoutMs) {
    // The port bounds a stalled write itself; the caller's time-out adds nothing to that.
    (void)timeoutMs;
    preciseWakeups();
    if (written) *written = 0;
    if (!isOpen()) {
        failure_ = "the link is not open";
        return 0;
    }
    drainLateReplies(len > 0 ? data[0] : 0);
    waitGap();
    if (!port_->send(data, len)) {
        failure_ = port_->lastFailure();
        return 0;
    }
    noteTraffic(Clock::now() + settings_.charTime() * static_cast<long>(len));
    if (written) *written = len;
    return 1;
}

long CSerial::Read(std::uint8_t* buf, std::size_t len, std::size_t* bytesRead, int timeoutMs) {
    preciseWakeups();
    if (bytesRead) *bytesRead = 0;
    const auto deadline = readDeadline_ != Clock::time_point{}
                              ? readDeadline_
                              : Clock::now() + (timeoutMs < 0 ? responseTimeout_
                                                              : milliseconds(timeoutMs));
    readDeadline_ = Clock::time_point{};
    if (!isOpen()) return -1;
    len = std::min(len, maxReception_);
    const auto silence = frameSilence();
    const std::uint8_t exceptionFunction =
        pendingFunction_ != 0 ? static_cast<std::uint8_t>(pendingFunction_ | 0x80) : 0;
    rx_.resize(std::max<std::size_t>(len, 256));
    std::size_t got = 0;
    Clock::time_point lastByte{};
    for (;;) {
        // A late answer to a request that timed out is not this reply: drop it whole.
        if (const std::size_t stale = lateReplyLength(got); stale > 0 && got >= stale) {
            if (CheckCRC(rx_.data(), stale)) {
                rx_.erase(rx_.begin(), rx_.begin() + static_cast<long>(stale));
                rx_.resize(std::max<std::size_t>(len, 256));
                got -= stale;
                ++lateRepliesDropped_;
                unanswered_ = Unanswered{};  // answered at last
                continue;
            }
            unanswered_ = Unanswered{};  // not a late reply after all
        }
        const std::size_t stale = lateReplyLength(got);
        const std::size_t want = stale > len ? stale : len;
        if (got >= want) break;
        if (exceptionFunction != 0 && got >= 5 && rx_[1] == exceptionFunction &&
            CheckCRC(rx_.data(), 5))
            break;
        const auto now = Clock::now();
        if (now >= deadline) break;
        auto until = deadline;
        // A whole frame of another length (its CRC says so) ends at the silence after it; a
        // partial frame waits for its rest.
        const bool whole = stale == 0 && got >= 4 && CheckCRC(rx_.data(), got);
        if (whole) {
            until = std::min(until, lastByte + silence);
            if (now >= until) break;
        }
        const long n = port_->recv(rx_.data() + got, want - got, until);
        if (n < 0) {
            failure_ = port_->lastFailure();
            got = std::min(got, len);
            std::copy_n(rx_.begin(), got, buf);
            if (bytesRead) *bytesRead = got;
            return -1;
        }
        if (n == 0) continue;  // the loop head tells silence from the deadline
        got += static_cast<std::size_t>(n);
        lastByte = port_->arrivedAt();
        noteTraffic(lastByte);
    }
    got = std::min(got, len);
    std::copy_n(rx_.begin(), got, buf);
    if (bytesRead) *bytesRead = got;
    return static_cast<long>(got);
}

bool CSerial::CheckCRC(const std::uint8_t* frame, std::size_t len) {
    return frameCrcOk(frame, len);
}

bool CSerial::lineQuietAfterReply(Clock::time_point deadline) {
    std::uint8_t extra[64];
    const auto gapEnd = std::min(deadline, lastTraffic_ + interFrameGap());
    // A thread that gets here only after the gap (a busy machine) still looks: bytes waiting
    // by then cannot be told from bytes that ran into the reply, and are taken for them. A wire
    // that vanishes just now leaves this reply intact; the next request finds out.
    if (port_->recv(extra, sizeof extra, gapEnd) <= 0) return true;
    noteTraffic(port_->arrivedAt());
    // Whatever follows is dropped until the line falls silent, but never past the deadline: a
    // peer that keeps sending must not hold the transaction.
    for (auto now = Clock::now(); now < deadline; now = Clock::now()) {
        if (port_->recv(extra, sizeof extra, std::min(deadline, now + frameSilence())) <= 0) break;
        noteTraffic(port_->arrivedAt());
    }
    return false;
}

std::optional<CSerial::Clock::time_point> CSerial::putRequest(const std::uint8_t* request,
                                                              std::size_t len, bool modbus) {
    if (!isOpen()) {
        failure_ = "the link is not open";
        return std::nullopt;
    }
    preciseWakeups();
    // Whatever is still in the input belongs to an earlier exchange (a reply that came after
    // its time-out, line noise): it must not be taken for the answer to this request.
    if (modbus) drainLateReplies(len > 0 ? request[0] : 0);
    port_->flushInput();
    waitGap();
    if (!port_->send(request, len)) {
        failure_ = port_->lastFailure();
        return std::nullopt;
    }
    const auto requestEnd = Clock::now() + settings_.charTime() * static_cast<long>(len);
    noteTraffic(requestEnd);
    return requestEnd;
}

long CSerial::readReply(std::uint8_t* reply, std::size_t expectedLen, std::size_t& got,
                        Clock::time_point deadline) {
    readDeadline_ = deadline;
    const long r = Read(reply, expectedLen, &got, -1);
    readDeadline_ = Clock::time_point{};
    return r;
}

ErrType CSerial::CommandSend(const std::uint8_t* request, std::size_t len, std::uint8_t* reply,
                             std::size_t expectedLen) {
    const auto requestEnd = putRequest(request, len, true);
    if (!requestEnd) return ErrTimeOut;
    const auto deadline = *requestEnd + responseTimeout_;

    pendingFunction_ = (len >= 2 && request[1] < 0x80) ? request[1] : 0;
    std::size_t got = 0;
    const long r = readReply(reply, expectedLen, got, deadline);
    const std::uint8_t function = pendingFunction_;
    pendingFunction_ = 0;
    if (r < 0) return ErrTimeOut;
    const bool exception = function != 0 && got == 5 && reply[1] == (function | 0x80);
    if (got != expectedLen && !exception && !CheckCRC(reply, got)) {
        // No complete reply: a drive that missed the time-out may still answer. Until a further
        // time-out has passed, its answer could look like the reply to what is asked next.
        unanswered_ = Unanswered{len > 0 ? request[0] : std::uint8_t{0}, function, expectedLen,
                                 Clock::now() + responseTimeout_};
    }
    if (got == 0) {
        failure_ = "no reply";
        return ErrTimeOut;
    }
    if ((got == expectedLen || exception) && !lineQuietAfterReply(deadline)) {
        failure_ = "reply ran into another frame";
        return ErrMalformed;
    }
    return validateReply(request, len, reply, got, expectedLen);
}

ErrType CSerial::FrameSend(const std::uint8_t* request, std::size_t len, std::uint8_t* reply,
                           std::size_t expectedLen) {
    const auto requestEnd = putRequest(request, len, false);
    if (!requestEnd) return ErrTimeOut;
    // No byte of these frames is a Modbus function code: no exception reply is recognised.
    pendingFunction_ = 0;
    std::size_t got = 0;
    const long r = readReply(reply, expectedLen, got, *requestEnd + responseTimeout_);
    if (r < 0) return ErrTimeOut;
    if (got == 0) {
        failure_ = "no reply";
        return ErrTimeOut;
    }
    return checkFrame(reply, got, expectedLen, false);
}

ErrType CSerial::checkFrame(const std::uint8_t* reply, std::size_t got, std::size_t expectedLen,
                            bool exception) {
    if (got != expectedLen && !exception) {
        failure_ = "reply of " + std::to_string(got) + " bytes, " + std::to_string(expectedLen) +
                   " expected";
        return ErrMalformed;
    }
    if (!CheckCRC(reply, got)) {
        failure_ = "reply CRC mismatch";
        return ErrCrc;
    }
    return ErrNone;
}

ErrType CSerial::validateReply(const std::uint8_t* request, std::size_t len,
                               const std::uint8_t* reply, std::size_t got,
                               std::size_t expectedLen) {
    const bool modbus = len >= 8 && isModbusFunction(request[1]);
    const bool exception = modbus && got == 5 && reply[1] == (request[1] | 0x80);
    if (const ErrType e = checkFrame(reply, got, expectedLen, exception); e != ErrNone) return e;
    if (!modbus) return ErrNone;
    bool ok = reply[0] == request[0];
    // A whole frame from the station asked, with a good CRC but another function code, is
    // delivered like an exception reply: the caller compares byte 1 with the function it sent
    // and words the failure its own way ("Communication Error." after a single read, the code
    // in byte 2 after a write).
    if (ok && !exception && reply[1] == request[1]) {
        if (request[1] == 0x03)
            ok = reply[2] == expectedLen - 5;
        else  // functions 06 and 16 echo station, function, register and value or count
            ok = std::equal(request, request + 6, reply);
    }
    if (!ok) {
        failure_ = "reply does not answer the request";
        return ErrMalformed;
    }
    return ErrNone;
}

int CSerial::SearchIP(std::vector<NetAdapter>& adapters) {
    adapters.clear();
    const int fd = openDiscoverySocket(discoveryLocalPort, discoveryWait);
    if (fd < 0) return 0;
    const std::uint8_t query[4] = {0, 0, 0, 0xF6};
    if (!sendDatagram(fd, discoveryAddress, discoveryPort, query, sizeof query)) {
        ::close(fd);
        return 0;
    }
    std::uint8_t buf[1024];
    for (;;) {
        sockaddr_in from{};
        socklen_t fromLen = sizeof from;
        const ssize_t n =
            ::recvfrom(fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&from), &fromLen);
        if (n < 0) break;
        if (n < 30 || buf[3] != 0xF7) continue;  // our own query echoed back, or not a reply
        NetAdapter a;
        a.mac = formatMac(buf + 24);
        char ip[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, ip, sizeof ip);
        a.ip = ip;
        a.address = from;
        adapters.push_back(a);
    }
    ::close(fd);
    return static_cast<int>(adapters.size());
}

int CSerial::setIPAddress(const std::string& ip, const std::string& mac) {
    // The address change is a datagram to every adapter on the discovery port: byte 3 0xF8, the
    // MAC of the adapter meant at 4..9 and the new address at 10..13. The adapter with that MAC
    // takes the address and confirms with byte 3 0xF9 and its MAC at 24..29, as in discovery.
    std::array<std::uint8_t, 6> macBytes{};
    in_addr addr{};
    if (!parseMac(mac, macBytes) || ::inet_pton(AF_INET, ip.c_str(), &addr) != 1) return 0;
    const int fd = openDiscoverySocket(discoveryLocalPort, discoveryWait);
    if (fd < 0) return 0;
    std::uint8_t query[14] = {0, 0, 0, 0xF8};
    std::copy(macBytes.begin(), macBytes.end(), query + 4);
    std::memcpy(query + 10, &addr.s_addr, 4);
    int ok = 0;
    if (sendDatagram(fd, discoveryAddress, discoveryPort, query, sizeof query)) {
        std::uint8_t buf[1024];
        for (;;) {
            const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
            if (n < 0) break;
            if (n >= 30 && buf[3] == 0xF9 &&
                std::equal(macBytes.begin(), macBytes.end(), buf + 24)) {
                ok = 1;
                break;
            }
        }
    }
    ::close(fd);
    return ok;
}

void CSerial::GetStrMac(const std::string& mac) {
    mac_ = mac;
}

}  // namespace pv::serial
