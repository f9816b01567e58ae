#include "sim/SimClock.h"

namespace pv::sim {

std::shared_ptr<SimClock> makeSteadyClock() {
    return std::make_shared<SteadyClock>();
}

}  // namespace pv::sim
