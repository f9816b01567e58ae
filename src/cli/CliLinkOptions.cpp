#include "cli/CliLinkOptions.h"

#include <netdb.h>
#include <sys/socket.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "drive/Registers.h"
#include "comm/StationList.h"
#include "project/DataPaths.h"
#include "project/ModelTable.h"
#include "res/CommTexts.h"
#include "serial/SerialPort.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

namespace pv::cli {

const char* const kLinkOptionsHelp =
    "  --port PORT        a serial device (/dev/ttyUSB0, COM1), tcp:HOST[:PORT] for a network\n"
    "                     adapter (port 10001 unless given), or sim for a virtual drive\n"
    "  --baud N           1200, 2400, 4800, 9600 (default), 19200, 38400, 57600, 115200\n"
    "  --data-bits N      7 or 8 (default)\n"
    "  --parity P         none (default), odd or even\n"
    "  --stop N           1 or 2 (default)\n"
    "  --timeout MS       response time-out in milliseconds (default 500)\n"
    "  --sim-stations L   stations of the virtual drive bus (default 1), e.g. 1,3,5-8\n"
    "  --sim-model NAME   model of the virtual drives (default N350-2P5-H); S=NAME gives\n"
    "                     station S its own model (repeatable)\n";

bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == name && i + 1 < args.size()) {
            value = args[i + 1];
            args.erase(args.begin() + static_cast<long>(i),
                       args.begin() + static_cast<long>(i) + 2);
            return true;
        }
        if (args[i].rfind(name + "=", 0) == 0) {
            value = args[i].substr(name.size() + 1);
            args.erase(args.begin() + static_cast<long>(i));
            return true;
        }
    }
    return false;
}

bool ParseNumber(const std::string& text, long& value) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = text.c_str() + (hex ? 2 : 0);
    // strtol alone would skip blanks and take a sign after "0x"; an option value is digits.
    const char first = !hex && *digits == '-' ? digits[1] : digits[0];
    if (!std::isxdigit(static_cast<unsigned char>(first))) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(digits, &end, hex ? 16 : 10);
    // A number beyond 32 bits would reach the option as its low bits (4294976896 as 9600).
    if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX || *end != '\0') return false;
    value = static_cast<long>(v);
    return true;
}

bool ParseRegister(const std::string& text, long& value) {
    if (text.size() == 5 && text[2] == '-') {
        long group = 0, index = 0;
        if (!ParseNumber(text.substr(0, 2), group) || !ParseNumber(text.substr(3), index) ||
            group < 0 || index < 0)
            return false;
        value = drive::ParamRegister(static_cast<int>(group), static_cast<int>(index));
        return true;
    }
    return ParseNumber(text, value) && value >= 0 && value <= 0xFFFF;
}

bool ParseLinkOptions(std::vector<std::string>& args, LinkOptions& o, std::string& error) {
    std::string v;
    long n = 0;
    if (!TakeOption(args, "--port", o.port)) {
        error = "missing --port";
        return false;
    }
    if (TakeOption(args, "--baud", v)) {
        if (!ParseNumber(v, n) || !serial::SerialPort::supportedBaud(static_cast<int>(n))) {
            error = "unsupported baud rate: " + v;
            return false;
        }
        o.baud = static_cast<int>(n);
    }
    if (TakeOption(args, "--data-bits", v)) {
        if (v != "7" && v != "8") {
            error = "data bits must be 7 or 8";
            return false;
        }
        o.dataBits = v == "7" ? 7 : 8;
    }
    if (TakeOption(args, "--parity", v)) {
        std::string p = v;
        std::transform(p.begin(), p.end(), p.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        if (p == "none" || p == "n")
            o.parity = 0;
        else if (p == "odd" || p == "o")
            o.parity = 1;
        else if (p == "even" || p == "e")
            o.parity = 2;
        else {
            error = "parity must be none, odd or even";
            return false;
        }
    }
    if (TakeOption(args, "--stop", v)) {
        if (v != "1" && v != "2") {
            error = "stop bits must be 1 or 2";
            return false;
        }
        o.stopBits = v == "1" ? 1.0f : 2.0f;
    }
    if (TakeOption(args, "--timeout", v)) {
        if (!ParseNumber(v, n) || n < 1 || n > 60000) {
            error = "time-out must be 1..60000 ms";
            return false;
        }
        o.timeoutMs = static_cast<int>(n);
    }
    TakeOption(args, "--sim-stations", o.simStations);
    while (TakeOption(args, "--sim-model", v)) {
        const auto eq = v.find('=');
        if (eq == std::string::npos) {
            o.simModel = v;
            continue;
        }
        if (!ParseNumber(v.substr(0, eq), n) || n < drive::kMinStation || n > drive::kMaxStation) {
            error = "--sim-model S=NAME needs a station 1..32: " + v;
            return false;
        }
        o.simStationModels[static_cast<int>(n)] = v.substr(eq + 1);
    }
    return true;
}

OpenLink::~OpenLink() {
    link.close();
    if (bus && serial::virtualPeer() == bus) serial::setVirtualPeer(nullptr);
}

namespace {

bool resolveIpv4(const std::string& host, sockaddr_in& out) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* res = nullptr;
    if (::getaddrinfo(host.c_str(), nullptr, &hints, &res) != 0 || !res) return false;
    out.sin_addr = reinterpret_cast<const sockaddr_in*>(res->ai_addr)->sin_addr;
    ::freeaddrinfo(res);
    return true;
}

}  // namespace

bool OpenLinkFromOptions(const LinkOptions& o, OpenLink& out, std::string& error) {
    std::string portName = o.port;
    std::string lower = o.port;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    if (lower.rfind("tcp:", 0) == 0) {
        std::string host = o.port.substr(4);
        long tcpPort = serial::CSerial::kDefaultTcpPort;
        const auto colon = host.rfind(':');
        if (colon != std::string::npos) {
            if (!ParseNumber(host.substr(colon + 1), tcpPort) || tcpPort < 1 || tcpPort > 65535) {
                error = "bad TCP port in " + o.port;
                return false;
            }
            host = host.substr(0, colon);
        }
        if (!resolveIpv4(host, out.link.channel().tcpAddress)) {
            error = std::string(res::kCantOpenPort) + ": unknown host " + host;
            return false;
        }
        out.link.channel().tcpPort = static_cast<int>(tcpPort);
        portName = res::kTcpIpPortName;
        out.tcpIp = true;
    } else if (lower == "sim") {
        auto modelOf = [&](int station) {
            const auto it = o.simStationModels.find(station);
            return it == o.simStationModels.end() ? o.simModel : it->second;
        };
        std::vector<int> stations;
        std::string message;
        if (!comm::ParseStationList(o.simStations, stations, message)) {
            error = message;
            return false;
        }
        for (const auto& [s, name] : o.simStationModels) {
            if (std::find(stations.begin(), stations.end(), s) == stations.end()) {
                error = "--sim-model " + std::to_string(s) + "=" + name + ": station " +
                        std::to_string(s) + " is not in --sim-stations " + o.simStations;
                return false;
            }
        }
        out.bus = std::make_shared<sim::VirtualBus>(DataDir());
        // Without the parameter definitions the drives still identify themselves, but hold no
        // parameter registers; say so rather than let every parameter read fail unexplained.
        if (!out.bus->dataLoaded())
            std::fprintf(stderr, "virtual drive: no data files in %s, parameters unavailable\n",
                         DataDir().c_str());
        for (int s : stations) {
            if (s < drive::kMinStation) continue;
            const ModelInfo* model = FindModelByName(modelOf(s));
            if (!model) {
                error = "unknown model: " + modelOf(s);
                return false;
            }
            out.bus->addStation(s, model->code);
        }
        serial::setVirtualPeer(out.bus);
    }
    if (!out.link.open(portName, o.baud, o.dataBits, o.parity, o.stopBits,
                       std::chrono::milliseconds(o.timeoutMs))) {
        error = std::string(res::kCantOpenPort) + ": " + out.link.channel().lastFailure();
        return false;
    }
    return true;
}

}  // namespace pv::cli
