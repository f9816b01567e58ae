#include "sim/SimConsole.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "res/SimTexts.h"
#include "sim/SimOptions.h"

namespace pv::sim {

namespace t = pv::res::sim;

namespace {

std::vector<std::string> words(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

VirtualDrive* driveOf(VirtualBus& bus, const std::string& word) {
    char* end = nullptr;
    const long s = std::strtol(word.c_str(), &end, 10);
    if (*end != '\0' || s < 1 || s > kMaxStation) return nullptr;
    return bus.station(static_cast<int>(s));
}

std::string motorLine(VirtualDrive& d) {
    const auto m = d.motor();
    char buf[160];
    std::snprintf(buf, sizeof buf, t::kConsoleMotorFormat, d.station(),
                  m.running ? t::kRunning : t::kStoppedState, m.reverse ? t::kReverse : t::kForward,
                  m.output < 0 ? -m.output : m.output, m.target < 0 ? -m.target : m.target);
    return buf;
}

}  // namespace

std::string runConsoleCommand(VirtualBus& bus, const std::string& line) {
    const auto w = words(line);
    if (w.empty()) return {};
    const std::string& cmd = w[0];
    if (cmd == "help" || cmd == "?") return t::kConsoleHelp;
    if (cmd == "fault" && w.size() == 2) {
        FaultSetting f;
        if (!parseFault(w[1], f)) return std::string(t::kBadFault) + w[1];
        bus.faults(f.station).set(f.kind, f.mode, f.arg, f.count);
        return t::kOk;
    }
    if (cmd == "clear" && w.size() <= 2) {
        if (w.size() == 1) {
            bus.clearFaults();
            return t::kOk;
        }
        char* end = nullptr;
        const long s = std::strtol(w[1].c_str(), &end, 10);
        if (*end != '\0' || s < 1 || s > kMaxStation) return std::string(t::kStationRange) + w[1];
        bus.faults(static_cast<int>(s)).clear();
        return t::kOk;
    }
    if (cmd == "unplug" && w.size() == 1) {
        bus.setConnected(false);
        return t::kOk;
    }
    if (cmd == "plug" && w.size() == 1) {
        bus.setConnected(true);
        return t::kOk;
    }
    if ((cmd == "get" && w.size() == 3) || (cmd == "set" && w.size() == 4) ||
        (cmd == "version" && w.size() == 3) || (cmd == "status" && w.size() == 2) ||
        (cmd == "power" && w.size() == 2) || (cmd == "trip" && w.size() == 3)) {
        VirtualDrive* d = driveOf(bus, w[1]);
        if (!d) return std::string(t::kNoSuchStation) + w[1];
        if (cmd == "get") {
            const auto v = d->valueOf(w[2]);
            return v ? w[2] + " = " + *v : std::string(t::kNoSuchParameter) + w[2];
        }
        if (cmd == "set")
            return d->setValue(w[2], w[3]) ? std::string(t::kOk)
                                           : std::string(t::kValueRefused) + w[2] + " " + w[3];
        if (cmd == "version") {
            char* end = nullptr;
            const long v = std::strtol(w[2].c_str(), &end, 10);
            if (*end != '\0' || v < 0 || v > 65535) return std::string(t::kBadNumber) + w[2];
            d->setVersion(static_cast<std::uint16_t>(v));
            return t::kOk;
        }
        if (cmd == "trip") {
            char* end = nullptr;
            const long code = std::strtol(w[2].c_str(), &end, 10);
            if (*end != '\0' || code < 1 || code > 255) return std::string(t::kBadNumber) + w[2];
            d->trip(static_cast<std::uint16_t>(code));
            return t::kOk;
        }
        if (cmd == "power") {
            d->powerCycle();
            return t::kOk;
        }
        return motorLine(*d);
    }
    return std::string(t::kUnknownCommand) + line;
}

}  // namespace pv::sim
