#include "serial/SerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace pv::serial {

namespace {

speed_t speedFor(int baud) {
    switch (baud) {
        case 1200:
            return B1200;
        case 2400:
            return B2400;
        case 4800:
            return B4800;
        case 9600:
            return B9600;
        case 19200:
            return B19200;
        case 38400:
            return B38400;
        case 57600:
            return B57600;
        case 115200:
            return B115200;
        default:
            return B0;
    }
}

std::string upper(std::string s) {
    for (auto& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const auto e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

}  // namespace

SerialPort::~SerialPort() {
    close();
}

bool SerialPort::isUsbDevice(const std::string& device, const std::string& sysRoot) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path terminal = fs::canonical(device, ec);
    if (ec) return false;
    const fs::path node = fs::path(sysRoot) / "class" / "tty" / terminal.filename() / "device";
    // A path through the device tree names every bus it crosses ("usb1", "1-1:1.0" below a
    // "usb" directory); the subsystem and driver links name the bus ("usb", "usb-serial") and
    // the driver ("ftdi_sio" under .../usb-serial/drivers) for devices that hang off it.
    const fs::path root = fs::canonical(sysRoot, ec);
    if (ec) return false;
    for (const fs::path& link : {node, node / "subsystem", node / "driver"}) {
        const fs::path real = fs::canonical(link, ec);
        if (ec) continue;
        for (const auto& part : real.lexically_relative(root)) {
            const std::string name = part.string();
            if (name.rfind("usb", 0) == 0) return true;
        }
    }
    return false;
}

bool SerialPort::supportedBaud(int baud) {
    return speedFor(baud) != B0;
}

std::string SerialPort::deviceForName(const std::string& name) {
    std::string n = trim(name);
    if (n.rfind("\\\\.\\", 0) == 0) n = n.substr(4);
    const std::string u = upper(n);
    if (u.size() > 3 && u.rfind("COM", 0) == 0) {
        bool digits = true;
        for (std::size_t i = 3; i < u.size(); ++i)
            digits = digits && std::isdigit(static_cast<unsigned char>(u[i]));
        // Longer numbers than any port has would not fit an int.
        if (digits && u.size() <= 3 + 9) {
            const int number = std::stoi(u.substr(3));
            if (number >= 1) return "/dev/ttyS" + std::to_string(number - 1);
        }
    }
    if (!n.empty() && n[0] != '/') return "/dev/" + n;
    return n;
}

bool SerialPort::fail(const std::string& what) {
    failure_ = what + ": " + std::strerror(errno);
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    return false;
}

bool SerialPort::open(const std::string& device, const LineSettings& s) {
    close();
    gone_ = false;
    failure_.clear();
    if (!supportedBaud(s.baud) || (s.dataBits != 7 && s.dataBits != 8) || s.parity < 0 ||
        s.parity > 2 || (s.stopBits != 1.0f && s.stopBits != 2.0f)) {
        failure_ = device + ": unsupported line settings";
        return false;
    }
    fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) return fail(device);
    // flock keeps out other programs that lock as we do; TIOCEXCL keeps out every later open()
    // by unprivileged programs, whether they lock or not.
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EWOULDBLOCK) errno = EBUSY;
        return fail(device);
    }
    if (::ioctl(fd_, TIOCEXCL) != 0 && errno != ENOTTY) return fail(device);

    termios tio{};
    if (::tcgetattr(fd_, &tio) != 0) return fail(device);
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CSTOPB | CRTSCTS);
    tio.c_cflag |= (s.dataBits == 7) ? CS7 : CS8;
    if (s.parity == 1) tio.c_cflag |= PARENB | PARODD;
    if (s.parity == 2) tio.c_cflag |= PARENB;
    if (s.stopBits == 2.0f) tio.c_cflag |= CSTOPB;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speedFor(s.baud));
    ::cfsetospeed(&tio, speedFor(s.baud));
    if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return fail(device);
    ::tcflush(fd_, TCIOFLUSH);
    return true;
}

bool SerialPort::send(const std::uint8_t* data, std::size_t len) {
    if (fd_ < 0 || gone_) return false;
    const std::string why = WriteAllFd(
        fd_, data, len,
        [](int fd, const std::uint8_t* d, std::size_t n) { return ::write(fd, d, n); },
        "line stalled");
    if (why.empty()) return true;
    gone_ = true;
    failure_ = "write failed: " + why;
    return false;
}

long SerialPort::recv(std::uint8_t* data, std::size_t max, Deadline deadline) {
    if (fd_ < 0 || gone_) return -1;
    short revents = 0;
    const int r = WaitFd(fd_, POLLIN, deadline, revents);
    arrivedAt_ = std::chrono::steady_clock::now();
    if (r == 0) return 0;
    if (r < 0) {
        gone_ = true;
        failure_ = std::string("poll failed: ") + std::strerror(errno);
        return -1;
    }
    if (revents & POLLIN) {
        const ssize_t n = ::read(fd_, data, max);
        if (n > 0) return n;
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    }
    // Readable with nothing to read, an error or a hang-up: the device is gone (USB unplugged,
    // the other end of a pseudo-terminal closed).
    gone_ = true;
    failure_ = "the serial device is gone";
    return -1;
}

void SerialPort::flushInput() {
    if (fd_ >= 0 && !gone_) ::tcflush(fd_, TCIFLUSH);
}

void SerialPort::close() {
    if (fd_ < 0) return;
    ::ioctl(fd_, TIOCNXCL);
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
}

}  // namespace pv::serial
