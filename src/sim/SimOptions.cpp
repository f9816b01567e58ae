#include "sim/SimOptions.h"

#include <algorithm>
#include <cstdlib>

#include "project/ModelTable.h"
#include "res/SimTexts.h"
#include "sim/PtyServer.h"

namespace pv::sim {

namespace t = pv::res::sim;

namespace {

bool toInt(const std::string& s, long& out) {
    if (s.empty()) return false;
    char* end = nullptr;
    out = std::strtol(s.c_str(), &end, 10);
    return *end == '\0';
}

std::vector<std::string> split(const std::string& s, char sep) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = s.find(sep, start);
        parts.push_back(s.substr(start, at - start));
        if (at == std::string::npos) return parts;
        start = at + 1;
    }
}

}  // namespace

std::uint32_t SimOptions::modelOf(int station) const {
    const auto it = stationModels.find(station);
    return it == stationModels.end() ? model : it->second;
}

bool parseStations(const std::string& text, std::vector<int>& out, std::string& error) {
    out.clear();
    for (const std::string& item : split(text, ',')) {
        const auto dash = item.find('-');
        long a = 0, b = 0;
        const bool ok = dash == std::string::npos
                            ? toInt(item, a) && (b = a, true)
                            : toInt(item.substr(0, dash), a) && toInt(item.substr(dash + 1), b);
        if (!ok || a > b) {
            error = std::string(t::kBadStations) + text;
            return false;
        }
        for (long s = a; s <= b; ++s) {
            if (s < 1 || s > 32) {
                error = std::string(t::kStationRange) + text;
                return false;
            }
            if (std::find(out.begin(), out.end(), s) != out.end()) {
                error = std::string(t::kBadStations) + text;
                return false;
            }
            out.push_back(static_cast<int>(s));
        }
    }
    return !out.empty();
}

bool parseFault(const std::string& text, FaultSetting& out) {
    std::string body = text;
    out.mode = FaultMode::Always;
    if (const auto at = text.find('@'); at != std::string::npos) {
        body = text.substr(0, at);
        const std::string mode = text.substr(at + 1);
        long n = 0;
        if (mode == "once") {
            out.mode = FaultMode::Once;
        } else if (mode == "always") {
            out.mode = FaultMode::Always;
        } else if (toInt(mode, n) && n >= 1) {
            out.mode = FaultMode::Count;
            out.count = static_cast<int>(n);
        } else {
            return false;
        }
    }
    const auto parts = split(body, ':');
    long station = 0, arg = -1;
    if (parts.size() < 2 || parts.size() > 3 || !toInt(parts[0], station) || station < 1 ||
        station > 32)
        return false;
    const auto kind = faultKindFromName(parts[1]);
    if (!kind || *kind == FaultKind::None) return false;
    if (parts.size() == 3 && (!toInt(parts[2], arg) || arg < 0 || arg > 600000)) return false;
    out.station = static_cast<int>(station);
    out.kind = *kind;
    out.arg = static_cast<int>(arg);
    return true;
}

bool parseSimOptions(const std::vector<std::string>& args, SimOptions& out, std::string& error) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& v) {
            if (i + 1 >= args.size()) {
                error = std::string(t::kMissingValue) + a;
                return false;
            }
            v = args[++i];
            return true;
        };
        auto number = [&](long& n) {
            std::string v;
            if (!value(v)) return false;
            if (!toInt(v, n)) {
                error = std::string(t::kBadNumber) + v;
                return false;
            }
            return true;
        };
        auto bounded = [&](long& n, long low, long high) {
            if (!number(n)) return false;
            if (n < low || n > high) {
                // A number it is, only not one the option takes: say which ones it does.
                error = a + t::kMustBe + std::to_string(low) + ".." + std::to_string(high) + ": " +
                        std::to_string(n);
                return false;
            }
            return true;
        };
        std::string v;
        long n = 0;
        if (a == "--help" || a == "-h") {
            out.help = true;
        } else if (a == "--pty") {
            out.pty = true;
        } else if (a == "--link") {
            if (!value(out.link)) return false;
            out.pty = true;
        } else if (a == "--tcp") {
            if (!bounded(n, 0, 65535)) return false;
            out.tcpPort = static_cast<int>(n);
        } else if (a == "--bind") {
            if (!value(out.bind)) return false;
        } else if (a == "--stations") {
            if (!value(v) || !parseStations(v, out.stations, error)) {
                if (error.empty()) error = std::string(t::kBadStations) + v;
                return false;
            }
        } else if (a == "--model") {
            if (!value(v)) return false;
            const auto eq = v.find('=');
            const std::string name = eq == std::string::npos ? v : v.substr(eq + 1);
            const ModelInfo* m = FindModelByName(name);
            if (!m) {
                error = std::string(t::kUnknownModel) + name;
                return false;
            }
            if (eq == std::string::npos) {
                out.model = m->code;
            } else if (!toInt(v.substr(0, eq), n) || n < 1 || n > 32) {
                error = std::string(t::kStationRange) + v;
                return false;
            } else {
                out.stationModels[static_cast<int>(n)] = m->code;
            }
        } else if (a == "--version") {
            if (!bounded(n, 0, 65535)) return false;
            out.version = static_cast<int>(n);
        } else if (a == "--baud") {
            if (!number(n)) return false;
            if (speedConstant(static_cast<int>(n)) == 0) {
                error = std::string(t::kBadBaud) + std::to_string(n);
                return false;
            }
            out.baud = static_cast<int>(n);
        } else if (a == "--parity") {
            if (!value(v)) return false;
            if (v == "none") {
                out.format.parity = 0;
            } else if (v == "odd") {
                out.format.parity = 1;
            } else if (v == "even") {
                out.format.parity = 2;
            } else {
                error = std::string(t::kBadParity) + v;
                return false;
            }
        } else if (a == "--stop") {
            if (!number(n)) return false;
            if (n != 1 && n != 2) {
                error = std::string(t::kBadStop) + std::to_string(n);
                return false;
            }
            out.format.stopBits = static_cast<float>(n);
        } else if (a == "--turnaround-us") {
            if (!bounded(n, 0, 10000000)) return false;
            out.turnaroundUs = n;
        } else if (a == "--wire-time") {
            out.wireTime = true;
        } else if (a == "--strict") {
            out.strictRules = true;
        } else if (a == "--fault") {
            if (!value(v)) return false;
            FaultSetting f;
            if (!parseFault(v, f)) {
                error = std::string(t::kBadFault) + v;
                return false;
            }
            out.faults.push_back(f);
        } else if (a == "--copy-module") {
            out.copyModule = true;
            if (std::find(args.begin(), args.end(), "--stop") == args.end())
                out.format.stopBits = 1.0f;
        } else if (a == "--copy-fault") {
            if (!value(v)) return false;
            const auto at = v.find('@');
            out.copyFault = v.substr(0, at);
            if ((out.copyFault != "unplugged" && out.copyFault != "badcrc") ||
                (at != std::string::npos && (!toInt(v.substr(at + 1), n) || n < 0))) {
                error = std::string(t::kBadCopyFault) + v;
                return false;
            }
            out.copyFaultAfter = at == std::string::npos ? 0 : static_cast<int>(n);
            out.copyModule = true;
        } else if (a == "--adapter") {
            if (!value(v)) return false;
            AdapterSetting s;
            if (!parseAdapter(v, s)) {
                error = std::string(t::kBadAdapter) + v;
                return false;
            }
            out.adapters.push_back(s);
        } else if (a == "--adapter-port") {
            if (!bounded(n, 0, 65535)) return false;
            out.adapterPort = static_cast<int>(n);
        } else if (a == "--data") {
            if (!value(out.dataDir)) return false;
        } else {
            error = std::string(t::kUnknownOption) + a;
            return false;
        }
    }
    if (!out.pty && out.tcpPort < 0 && out.adapters.empty()) out.pty = true;
    if (out.copyModule) out.pty = true;
    return true;
}

}  // namespace pv::sim
