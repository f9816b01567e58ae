#include "comm/SettingsFiles.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "project/DataPaths.h"
#include "project/TextFile.h"
#include "res/CommTexts.h"

namespace pv::comm {

namespace {

constexpr int kBauds[] = {4800, 9600, 19200, 38400, 1200, 2400};
constexpr int kParities[] = {2, 1, 0};

std::string joinPath(const std::string& dir, const char* name) {
    if (dir.empty()) return name;
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

bool openForReading(const SettingsLocation& where, const char* name, std::ifstream& in) {
    for (const auto& dir : {where.programDir, where.tempDir}) {
        if (dir.empty()) continue;
        in.open(joinPath(dir, name), std::ios::binary);
        if (in.is_open()) return true;
        in.clear();
    }
    return false;
}

bool writeText(const SettingsLocation& where, const char* name, const std::string& text,
               std::string* writtenPath) {
    for (const auto& dir : {where.programDir, where.tempDir}) {
        if (dir.empty()) continue;
        const std::string path = joinPath(dir, name);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out.is_open()) continue;
        out << text;
        out.flush();
        if (!out) continue;
        if (writtenPath) *writtenPath = path;
        return true;
    }
    return false;
}

// Lines without their terminator. A Windows-written file carries "\r\n", one converted twice
// "\r\r\n": every CR before the "\n" goes, so that a value never ends in one and is written
// back as it was read.
std::vector<std::string> readLines(std::istream& in) {
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        while (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

// A number of a settings file in the manner of atoi, but one too large for an int saturates
// instead of being undefined.
int toInt(const std::string& s) {
    return AtoiLike(s);
}

template <std::size_t N>
int valueAt(const int (&table)[N], int index, int fallback) {
    return index >= 0 && index < static_cast<int>(N) ? table[index] : fallback;
}

}  // namespace

int CommSettings::baud() const {
    return valueAt(kBauds, baudIndex, 9600);
}
int CommSettings::dataBits() const {
    return dataBitsIndex == 0 ? 7 : 8;
}
int CommSettings::parity() const {
    return valueAt(kParities, parityIndex, 0);
}
float CommSettings::stopBits() const {
    return stopBitsIndex == 0 ? 1.0f : 2.0f;
}

int BaudIndexOf(int baud) {
    for (int i = 0; i < 6; ++i)
        if (kBauds[i] == baud) return i;
    return -1;
}

int ParityIndexOf(int parity) {
    for (int i = 0; i < 3; ++i)
        if (kParities[i] == parity) return i;
    return -1;
}

int PortNumberForName(const std::string& portName) {
    if (portName.empty()) return 0;
    if (portName == res::kTcpIpPortName) return -1;
    std::string upper = portName;
    for (auto& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (upper.rfind("COM", 0) == 0) {
        const int number = toInt(upper.substr(3));
        return number > INT_MIN ? number - 1 : INT_MIN;
    }
    std::size_t i = portName.size();
    while (i > 0 && std::isdigit(static_cast<unsigned char>(portName[i - 1]))) --i;
    return i < portName.size() ? toInt(portName.substr(i)) : 0;
}

SettingsLocation SettingsLocation::standard() {
    SettingsLocation where;
    where.programDir = ProgramDir();
    std::error_code ec;
    where.tempDir = std::filesystem::temp_directory_path(ec).string();
    if (ec) where.tempDir = "/tmp";
    return where;
}

bool ReadAcomFile(const SettingsLocation& where, CommSettings& settings) {
    std::ifstream in;
    if (!openForReading(where, kAcomFileName, in)) return false;
    std::ostringstream whole;
    whole << in.rdbuf();
    ParseAcomText(whole.str(), settings);
    return true;
}

void ParseAcomText(std::string_view text, CommSettings& settings) {
    std::istringstream in{std::string(text)};
    const auto lines = readLines(in);
    if (lines.size() > 0) settings.portNumber = toInt(lines[0]);
    // An index the dialog has no choice for would leave its radio group empty and the line
    // settings undefined: that setting keeps what it had.
    auto take = [](int& index, int value, int choices) {
        if (value >= 0 && value < choices) index = value;
    };
    if (lines.size() > 1)
        take(settings.baudIndex, toInt(lines[1]), static_cast<int>(std::size(kBauds)));
    if (lines.size() > 2 && lines[2].size() == 3) {
        // The line is one number whose hundreds, tens and units are the three indexes, so a
        // stray character ends the number instead of becoming an index of its own.
        const int packed = toInt(lines[2]);
        if (packed >= 0) {  // a sign spoils all three
            take(settings.dataBitsIndex, packed / 100, 2);
            take(settings.parityIndex, packed / 10 % 10, static_cast<int>(std::size(kParities)));
            take(settings.stopBitsIndex, packed % 10, 2);
        }
    }
    if (lines.size() > 3) settings.stationText = lines[3];
}

std::string FormatAcomText(const CommSettings& s) {
    std::ostringstream out;
    out << s.portNumber << '\n'
        << s.baudIndex << '\n'
        << s.dataBitsIndex << s.parityIndex << s.stopBitsIndex << '\n'
        << s.stationText << '\n';
    return out.str();
}

bool WriteAcomFile(const SettingsLocation& where, const CommSettings& s, std::string* writtenPath) {
    return writeText(where, kAcomFileName, FormatAcomText(s), writtenPath);
}

bool ReadKq4ComFile(const SettingsLocation& where, AdapterSettings& settings) {
    std::ifstream in;
    if (!openForReading(where, kKq4ComFileName, in)) return false;
    std::ostringstream whole;
    whole << in.rdbuf();
    return ParseKq4ComText(whole.str(), settings);
}

bool ParseKq4ComText(std::string_view text, AdapterSettings& settings) {
    if (text.size() < 4) return false;
    std::istringstream lines{std::string(text)};
    auto all = readLines(lines);
    AdapterSettings read;
    std::size_t i = 0;
    auto next = [&]() -> std::string { return i < all.size() ? all[i++] : std::string(); };
    read.portName = next();
    if (read.portName == res::kTcpIpPortName) read.adapterText = next();
    const int count = toInt(next());
    // A count beyond the lines present is clipped to them.
    for (int k = 0; k < count && i < all.size(); ++k) {
        std::string mac = next();
        std::string name = next();
        if (name == " ") name.clear();
        read.adapters.emplace_back(std::move(mac), std::move(name));
    }
    settings = std::move(read);
    return true;
}

std::string FormatKq4ComText(const AdapterSettings& s) {
    std::ostringstream out;
    out << s.portName << '\n';
    if (s.portName == res::kTcpIpPortName) out << s.adapterText << '\n';
    out << s.adapters.size() << '\n';
    for (const auto& [mac, name] : s.adapters)
        out << mac << '\n' << (name.empty() ? " " : name) << '\n';
    return out.str();
}

bool WriteKq4ComFile(const SettingsLocation& where, const AdapterSettings& s,
                     std::string* writtenPath) {
    return writeText(where, kKq4ComFileName, FormatKq4ComText(s), writtenPath);
}

}  // namespace pv::comm
