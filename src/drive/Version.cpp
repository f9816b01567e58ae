#include "drive/Version.h"

#include <cstdio>

namespace pv::drive {

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

}  // namespace pv::drive
