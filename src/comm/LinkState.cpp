#include "comm/LinkState.h"

#include <cstdio>

namespace pv::comm {

void LinkState::unlink() {
    linked = false;
    tcpIp = false;
}

int VoltageClassOfModel(std::uint32_t modelCode) {
    return (modelCode & 0xFF) < 0x21 ? 2 : 4;
}

double VersionValue(int raw) {
    if (raw < 100) return raw * 0.1;
    if (raw < 1000) return raw * 0.01;
    return raw * 0.001;
}

std::string VersionText(int raw) {
    char buf[32];
    const char* format = raw < 100 ? "%.1f" : raw < 1000 ? "%.2f" : "%.3f";
    std::snprintf(buf, sizeof buf, format, VersionValue(raw));
    return buf;
}

}  // namespace pv::comm
