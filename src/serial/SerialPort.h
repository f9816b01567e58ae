#pragma once
// A serial device (RS-485 converter, USB adapter, pseudo-terminal) in raw mode. The port is
// opened exclusively: a second program, or a second link in this one, is refused instead of
// silently sharing the line and mixing replies.

#include <string>

#include "serial/FdPort.h"

namespace pv::serial {

class SerialPort : public FdPort {
public:
    SerialPort() = default;
    ~SerialPort() override;

    // Opens `device` (a path such as /dev/ttyUSB0) with the line settings; false with
    // lastFailure() set when the device is missing, busy or refuses the settings.
    bool open(const std::string& device, const LineSettings& settings);

    bool send(const std::uint8_t* data, std::size_t len) override;
    long recv(std::uint8_t* data, std::size_t max, Deadline deadline) override;
    void flushInput() override;
    void close() override;

    // The device path for a port name as the settings files and the user write it: "COM1" is
    // the first on-board port /dev/ttyS0, "\\.\COM12" likewise; a bare name "ttyUSB0" lives in
    // /dev; a path is used as it stands.
    static std::string deviceForName(const std::string& name);
    // True for the baud rates the line supports.
    static bool supportedBaud(int baud);
    // True when `device` is a USB serial adapter, judged by the device itself and not by its
    // name: links (/dev/serial/by-id/usb-...) are followed to the terminal they lead to, and
    // that terminal's device in the kernel's device tree (`sysRoot`/class/tty/NAME/device, its
    // subsystem and driver) must sit on a USB bus.
    static bool isUsbDevice(const std::string& device, const std::string& sysRoot = "/sys");

private:
    bool fail(const std::string& what);
};

}  // namespace pv::serial
