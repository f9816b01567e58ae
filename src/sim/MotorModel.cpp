#include "sim/MotorModel.h"

#include <algorithm>
#include <cmath>

namespace pv::sim {

void MotorModel::command(bool run, bool reverse, double targetRaw) {
    run_ = run;
    reverse_ = reverse;
    commandRaw_ = std::max(0.0, targetRaw);
    target_ = run_ ? (reverse_ ? -commandRaw_ : commandRaw_) : 0.0;
}

void MotorModel::stopNow() {
    command(false, reverse_, commandRaw_);
    output_ = 0;
    ramp_ = 0;
}

void MotorModel::advance(std::chrono::microseconds dt, const RampSettings& s) {
    const double limit = std::max(0.0, s.maxRaw);
    const double goal = std::clamp(target_, -limit, limit);
    double seconds = static_cast<double>(dt.count()) * 1e-6;
    if (seconds <= 0.0) return;
    ramp_ = 0;
    // Up to two legs: down to zero when the direction changes, then towards the goal.
    while (seconds > 0.0 && output_ != goal) {
        const bool crossing = (output_ > 0 && goal < 0) || (output_ < 0 && goal > 0);
        const bool speedingUp = !crossing && std::fabs(goal) > std::fabs(output_);
        const double time = speedingUp ? s.accelSeconds : s.decelSeconds;
        const double legEnd = crossing ? 0.0 : goal;
        const double distance = std::fabs(legEnd - output_);
        ramp_ = speedingUp ? 1 : -1;
        if (time <= 0.0 || limit <= 0.0) {
            output_ = legEnd;
            continue;
        }
        const double rate = limit / time;  // units per second
        const double needed = distance / rate;
        if (needed <= seconds) {
            output_ = legEnd;
            seconds -= needed;
        } else {
            output_ += (legEnd > output_ ? 1.0 : -1.0) * rate * seconds;
            seconds = 0;
        }
    }
    if (output_ == goal) ramp_ = 0;
}

}  // namespace pv::sim
