// Which serial devices are USB adapters (their bytes come in bursts, so a frame's silence is
// judged more patiently): decided by the device tree, whatever the device is called.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "serial/SerialPort.h"

namespace pv::serial {
namespace {

namespace fs = std::filesystem;

// A scratch /dev and /sys with the layouts the kernel gives a USB adapter, a CDC modem, an
// on-board UART and a USB adapter whose driver sits on the USB-serial bus only.
class DeviceTree : public ::testing::Test {
protected:
    void SetUp() override {
        char tmpl[] = "/tmp/pv-devtree-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(tmpl));
        root = tmpl;
        dev = root / "dev";
        sys = root / "sys";
        fs::create_directories(dev / "serial" / "by-id");
        // On a USB hub: the interface directory below the bus.
        addTty("ttyUSB0", "devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.0/ttyUSB0", "");
        addTty("ttyACM0", "devices/pci0000:00/0000:00:14.0/usb1/1-3/1-3:1.0", "");
        // An on-board UART, and one renamed by a rule to look like an adapter.
        addTty("ttyS0", "devices/platform/serial8250/tty/ttyS0", "");
        addTty("ttyUSB9", "devices/platform/serial8250/tty/ttyS1", "");
        // A device whose tree path says nothing, but whose bus is the USB-serial one.
        addTty("ttyXR0", "devices/virtual/xr/port0", "bus/usb-serial");
        // A terminal the tree does not know (a pseudo-terminal).
        touch(dev / "ttyP5");
        fs::create_symlink(dev / "ttyUSB0", dev / "serial" / "by-id" / "adapter-FT232R-if00");
        fs::create_symlink(dev / "ttyS0", dev / "serial" / "by-id" / "usb-looking-name");
    }
    void TearDown() override { fs::remove_all(root); }

    static void touch(const fs::path& p) { std::ofstream(p).put('\n'); }
    void addTty(const std::string& name, const std::string& devicePath,
                const std::string& subsystem) {
        touch(dev / name);
        fs::create_directories(sys / devicePath);
        fs::create_directories(sys / "class" / "tty" / name);
        fs::create_symlink(sys / devicePath, sys / "class" / "tty" / name / "device");
        if (!subsystem.empty()) {
            fs::create_directories(sys / subsystem);
            fs::create_symlink(sys / subsystem, sys / devicePath / "subsystem");
        }
    }

    fs::path root, dev, sys;
};

TEST_F(DeviceTree, UsbAdaptersAreKnownByTheirDeviceNotTheirName) {
    struct Case {
        std::string device;
        bool usb;
    };
    const Case cases[] = {
        {"ttyUSB0", true},
        {"ttyACM0", true},
        {"serial/by-id/adapter-FT232R-if00", true},  // a link, followed to its terminal
        {"ttyXR0", true},
        {"ttyS0", false},
        {"ttyUSB9", false},                  // named like one, but an on-board UART
        {"serial/by-id/usb-looking-name", false},
        {"ttyP5", false},
        {"no-such-device", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.device);
        EXPECT_EQ(c.usb, SerialPort::isUsbDevice((dev / c.device).string(), sys.string()));
    }
}

}  // namespace
}  // namespace pv::serial
