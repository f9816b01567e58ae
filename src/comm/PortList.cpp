#include "comm/PortList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "res/CommTexts.h"

namespace pv::comm {

namespace fs = std::filesystem;

namespace {

struct Entry {
    int kind;  // 0 ttyS, 1 ttyUSB, 2 ttyACM
    long number;
    std::string name;
};

// An on-board UART slot that the kernel reserves without hardware reports the port type 0.
bool hasHardware(const fs::path& sysEntry) {
    std::ifstream type(sysEntry / "type");
    if (!type.is_open()) return true;
    int value = 0;
    type >> value;
    return value != 0;
}

}  // namespace

std::vector<std::string> ListSerialPorts(const std::string& sysClassTty,
                                         const std::string& devDir) {
    static const char* const kPrefixes[] = {"ttyS", "ttyUSB", "ttyACM"};
    std::vector<Entry> found;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(sysClassTty, ec)) {
        const std::string name = e.path().filename().string();
        for (int kind = 2; kind >= 0; --kind) {  // longest prefixes first
            const std::string prefix = kPrefixes[kind];
            if (name.rfind(prefix, 0) != 0 || name.size() == prefix.size()) continue;
            const std::string digits = name.substr(prefix.size());
            if (!std::all_of(digits.begin(), digits.end(),
                             [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
                break;
            std::error_code ec2;
            if (!fs::exists(e.path() / "device", ec2)) break;
            if (kind == 0 && !hasHardware(e.path())) break;
            found.push_back({kind, std::stol(digits), name});
            break;
        }
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        return a.kind != b.kind ? a.kind < b.kind : a.number < b.number;
    });
    std::vector<std::string> out;
    const std::string dir = devDir.empty() || devDir.back() == '/' ? devDir : devDir + "/";
    for (const auto& f : found) out.push_back(dir + f.name);
    return out;
}

int FillPortList(std::vector<std::string>& names, bool withTcpIp) {
    names = ListSerialPorts();
    if (withTcpIp) names.push_back(res::kTcpIpPortName);
    return names.empty() ? -1 : 0;
}

}  // namespace pv::comm
