#include "app/ui/HandOverFile.h"

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
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

// The whole text as a decimal int: nullopt for an empty text, a stray character or a value
// beyond the range of an int (where atoi would silently give some other number).
std::optional<int> wholeNumber(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const char* first = text.data() + (!text.empty() && text.front() == '+' ? 1 : 0);
    const auto [ptr, ec] = std::from_chars(first, end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

std::string refusal(int lineNumber, const std::string& text, const char* expected) {
    char buf[512];
    std::snprintf(buf, sizeof buf,
                  "The hand-over file %s was ignored: line %d \"%.200s\" is not %s. Start the "
                  "request again from the program that sent it.",
                  kHandOverFileName, lineNumber, text.c_str(), expected);
    return buf;
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
    auto refuse = [](int lineNumber, const std::string& line, const char* expected) {
        HandOver refused;
        refused.problem = refusal(lineNumber, line, expected);
        return refused;
    };
    const auto mode = wholeNumber(lines[0]);
    if (!mode) return refuse(1, lines[0], "a request number (1 open a project, 2 connect)");
    h.mode = *mode;
    auto line = [&](size_t i) { return i < lines.size() ? lines[i] : std::string(); };
    if (h.mode == 1) {
        h.projectPath = line(1);
    } else if (h.mode == 2) {
        h.portText = line(1);
        // "COMn" carries the port number; a device path, the network adapter ("TCPIP") or the
        // virtual drive has none to read.
        if (h.portText.size() > 3 && h.portText.compare(0, 3, "COM") == 0) {
            const auto port = wholeNumber(h.portText.substr(3));
            if (!port) return refuse(2, h.portText, "a port with its number (COM3)");
            h.portNumber = *port;
        }
        const auto baud = wholeNumber(line(2));
        const int baudIndex = baud ? baudIndexOf(*baud) : -1;
        if (baudIndex < 0)
            return refuse(3, line(2),
                          "a baud rate of the link (1200, 2400, 4800, 9600, 19200 or 38400)");
        h.baudIndex = baudIndex;
        const std::string bits = line(3);
        if (bits.size() == 3) {
            h.dataBitsIndex = bits[0] == '7' ? 0 : 1;
            // The file counts parity 0 none, 1 odd, 2 even; the dialog's indexes run the other way.
            h.parityIndex = bits[1] == '2' ? 0 : bits[1] == '1' ? 1 : 2;
            h.stopBitsIndex = bits[2] == '1' ? 0 : 1;
        }
        h.stationText = line(4);
        if (!line(5).empty()) {
            const auto value = wholeNumber(line(5));
            if (!value) return refuse(6, line(5), "a whole number");
            h.linkValue = *value;
        }
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
