#include "app/ui/HandOverFile.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace pv::ui {

namespace {
std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\r' || s.back() == ' ' || s.back() == '\t')) s.pop_back();
    size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
    return s.substr(i);
}

int baudIndexOf(int baud) {
    switch (baud) {
        case 4800:
            return 0;
        case 9600:
            return 1;
        case 19200:
            return 2;
        case 38400:
            return 3;
        case 1200:
            return 4;
        case 2400:
            return 5;
        default:
            return -1;
    }
}
}  // namespace

std::string HandOverPath() {
    std::error_code ec;
    auto dir = std::filesystem::temp_directory_path(ec);
    if (ec) dir = "/tmp";
    return (dir / kHandOverFileName).string();
}

HandOver ParseHandOver(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(trimmed(line));
    HandOver h;
    if (lines.empty()) return h;
    h.mode = std::atoi(lines[0].c_str());
    auto line = [&](size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    if (h.mode == 1) {
        h.projectPath = line(1);
    } else if (h.mode == 2) {
        h.portText = line(1);
        h.portNumber = h.portText.size() > 3 ? std::atoi(h.portText.c_str() + 3) : 0;
        const int baud = baudIndexOf(std::atoi(line(2).c_str()));
        if (baud >= 0) h.baudIndex = baud;
        const std::string bits = line(3);
        if (bits.size() == 3) {
            h.dataBitsIndex = bits[0] == '7' ? 0 : 1;
            // The file counts parity 0 none, 1 odd, 2 even; the dialog's indexes run the other way.
            h.parityIndex = bits[1] == '2' ? 0 : bits[1] == '1' ? 1 : 2;
            h.stopBitsIndex = bits[2] == '1' ? 0 : 1;
        }
        h.stationText = line(4);
        h.linkValue = std::atoi(line(5).c_str());
    }
    return h;
}

std::optional<HandOver> TakeHandOverFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return std::nullopt;
    std::stringstream ss;
    ss << f.rdbuf();
    f.close();
    std::error_code ec;
    std::filesystem::remove(path, ec);
    return ParseHandOver(ss.str());
}

}  // namespace pv::ui
