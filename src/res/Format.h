#pragma once
// A text of the system with its %d, %s and %.*f filled in, printf-style.

#include <cstdarg>
#include <cstdio>
#include <string>

namespace pv::res {

// The result is cut at 2 KiB; no text of ours comes near it.
inline std::string Format(const char* fmt, ...) {
    va_list ap;
    va_start(ap, fmt);
    char buf[2048];
    std::vsnprintf(buf, sizeof buf, fmt, ap);
    va_end(ap);
    return buf;
}

}  // namespace pv::res
