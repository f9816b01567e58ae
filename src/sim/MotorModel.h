#pragma once
// A drive's output frequency as it follows the run command: it ramps towards the commanded
// frequency at the rate the acceleration and deceleration times give (time from zero to the
// maximum frequency), passes through zero when the direction changes, and coasts down to zero
// after a stop at the deceleration rate.

#include <chrono>

namespace pv::sim {

struct RampSettings {
    double maxRaw = 6000;      // the maximum frequency, in the frequency command's units
    double accelSeconds = 10;  // zero to maximum
    double decelSeconds = 10;  // maximum to zero
};

class MotorModel {
public:
    // The command as the command word and the frequency command give it.
    void command(bool run, bool reverse, double targetRaw);
    // Moves the output on by `dt` of drive time.
    void advance(std::chrono::microseconds dt, const RampSettings& s);
    void stopNow();

    // Signed output frequency (negative in reverse), in the frequency command's units.
    double output() const { return output_; }
    // The signed frequency the ramp is heading for.
    double target() const { return target_; }
    bool runCommanded() const { return run_; }
    // Running while commanded or while the output still turns.
    bool running() const { return run_ || output_ != 0.0; }
    bool reverse() const { return output_ < 0.0 || (output_ == 0.0 && reverse_); }
    // +1 accelerating, -1 decelerating, 0 steady.
    int rampDirection() const { return ramp_; }

private:
    bool run_ = false;
    bool reverse_ = false;
    double commandRaw_ = 0;
    double target_ = 0;
    double output_ = 0;
    int ramp_ = 0;
};

}  // namespace pv::sim
