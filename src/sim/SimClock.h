#pragma once
// The time base of the virtual drive. The motor model advances on it; production uses the steady
// clock, tests use a manual clock that moves only when told, so ramps are checked exactly.

#include <atomic>
#include <chrono>
#include <memory>

namespace pv::sim {

class SimClock {
public:
    using Duration = std::chrono::microseconds;
    virtual ~SimClock() = default;
    // Time since an arbitrary origin; never goes backwards.
    virtual Duration now() const = 0;
};

class SteadyClock : public SimClock {
public:
    Duration now() const override {
        return std::chrono::duration_cast<Duration>(
            std::chrono::steady_clock::now().time_since_epoch());
    }
};

class ManualClock : public SimClock {
public:
    Duration now() const override { return Duration(now_.load()); }
    void advance(Duration d) { now_ += d.count(); }

private:
    std::atomic<long long> now_{0};
};

std::shared_ptr<SimClock> makeSteadyClock();

}  // namespace pv::sim
