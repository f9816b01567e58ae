// Port enumeration over a made-up /sys/class/tty: which entries are ports, and their order.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "comm/PortList.h"

namespace pv::comm {
namespace {

namespace fs = std::filesystem;

TEST(PortList, ListsRealPortsSortedByKindAndNumber) {
    const fs::path sys = fs::temp_directory_path() / "pv-portlist-sys";
    fs::remove_all(sys);
    auto add = [&](const std::string& name, bool device, const char* type = nullptr) {
        fs::create_directories(sys / name);
        if (device) fs::create_directories(sys / name / "device");
        if (type) std::ofstream(sys / name / "type") << type << "\n";
    };
    add("ttyS0", true, "4");
    add("ttyS1", true, "0");  // a reserved slot without a UART
    add("ttyS10", true, "4");
    add("ttyS2", true, "4");
    add("ttyUSB1", true);
    add("ttyUSB0", true);
    add("ttyACM0", true);
    add("tty5", false);     // a virtual console
    add("ttyUSB9", false);  // no device behind it
    add("ptmx", false);
    EXPECT_EQ((std::vector<std::string>{"/dev/ttyS0", "/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0",
                                        "/dev/ttyUSB1", "/dev/ttyACM0"}),
              ListSerialPorts(sys.string(), "/dev"));
    fs::remove_all(sys);
    EXPECT_TRUE(ListSerialPorts(sys.string(), "/dev").empty());
}

}  // namespace
}  // namespace pv::comm
