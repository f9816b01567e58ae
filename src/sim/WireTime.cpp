#include "sim/WireTime.h"

#include <cmath>

namespace pv::sim {

std::chrono::microseconds WireTime::charsTime(std::size_t chars) const {
    if (baud_ <= 0 || chars == 0) return std::chrono::microseconds(0);
    const double us = static_cast<double>(chars) * format_.bitsPerChar() * 1e6 / baud_;
    return std::chrono::microseconds(std::llround(us));
}

std::chrono::microseconds WireTime::replyDelay(std::size_t requestBytes,
                                               std::size_t replyBytes) const {
    return charsTime(requestBytes + replyBytes) + turnaround_;
}

}  // namespace pv::sim
