#include "sim/PtyServer.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace pv::sim {

namespace {
constexpr std::pair<int, speed_t> kSpeeds[] = {
    {1200, B1200},   {2400, B2400},   {4800, B4800},   {9600, B9600},
    {19200, B19200}, {38400, B38400}, {57600, B57600}, {115200, B115200},
};
}  // namespace

unsigned speedConstant(int baud) {
    for (const auto& [b, s] : kSpeeds)
        if (b == baud) return s;
    return 0;
}

int baudOfSpeed(unsigned speed) {
    for (const auto& [b, s] : kSpeeds)
        if (s == speed) return b;
    return 0;
}

PtyServer::PtyServer(StreamPeer& bus, StreamOptions options)
    : StreamServer(bus, std::move(options)) {}

PtyServer::~PtyServer() {
    stop();
    if (master_ >= 0) ::close(master_);
}

bool PtyServer::open(std::string& error) {
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0) {
        error = std::strerror(errno);
        return false;
    }
    char name[128];
    if (::ptsname_r(master_, name, sizeof name) != 0) {
        error = std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    ::fcntl(master_, F_SETFD, FD_CLOEXEC);
    // On Linux the master's termios calls reach the slave side: start it raw, at our line.
    termios t{};
    if (::tcgetattr(master_, &t) == 0) {
        ::cfmakeraw(&t);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CSTOPB);
        t.c_cflag |= CLOCAL | CREAD;
        t.c_cflag |= options_.line.format.dataBits == 7 ? CS7 : CS8;
        if (options_.line.format.parity != 0) t.c_cflag |= PARENB;
        if (options_.line.format.parity == 1) t.c_cflag |= PARODD;
        if (options_.line.format.stopBits >= 2.0f) t.c_cflag |= CSTOPB;
        if (const unsigned s = speedConstant(options_.line.baud)) ::cfsetspeed(&t, s);
        ::tcsetattr(master_, TCSANOW, &t);
    }
    const int fd = master_;
    const LineState fallback = options_.line;
    options_.currentLine = [fd, fallback]() -> std::optional<LineState> {
        termios t{};
        if (::tcgetattr(fd, &t) != 0) return std::nullopt;
        LineState s = fallback;
        if (const int b = baudOfSpeed(::cfgetospeed(&t))) s.baud = b;
        s.format.dataBits = (t.c_cflag & CSIZE) == CS7 ? 7 : 8;
        s.format.parity = (t.c_cflag & PARENB) ? ((t.c_cflag & PARODD) ? 1 : 2) : 0;
        s.format.stopBits = (t.c_cflag & CSTOPB) ? 2.0f : 1.0f;
        return s;
    };
    return true;
}

void PtyServer::run(const std::atomic<bool>& stop) {
    serveStream(master_, bus_, options_, stop, true);
}

}  // namespace pv::sim
