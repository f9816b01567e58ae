#pragma once
// The password behaviour a drive gives its parameter password (13-07) and its PLC password
// (0xAA01): while no password is active, the same value written twice in a row becomes the
// password and activates it; while one is active, writing the right value lifts it (until the
// drive is powered again) and a wrong value leaves it active.

#include <cstdint>
#include <optional>

namespace pv::sim {

class PasswordLock {
public:
    // What the state register reads: 2 while a password is active, else 0.
    static constexpr std::uint16_t kActive = 2;
    std::uint16_t state() const { return active_ ? kActive : 0; }
    bool active() const { return active_; }
    bool hasPassword() const { return password_.has_value(); }
    // Whether an entry of `value` would be accepted now.
    bool accepts(std::uint16_t value) const { return !active_ || value == *password_; }

    // A write to the password register.
    void write(std::uint16_t value) {
        if (active_) {
            if (value == *password_) active_ = false;
            pending_.reset();
            return;
        }
        if (pending_ && *pending_ == value) {
            password_ = value;
            active_ = true;
            pending_.reset();
        } else {
            pending_ = value;
        }
    }
    // A password entry that is refused when wrong (the PLC's entry register). True when the
    // drive is unlocked afterwards.
    bool enter(std::uint16_t value) {
        if (active_ && value != *password_) return false;
        active_ = false;
        pending_.reset();
        return true;
    }
    // Two writes only count as "in a row" when nothing else was written between them.
    void interrupt() { pending_.reset(); }
    void powerCycle() {
        active_ = password_.has_value();
        pending_.reset();
    }

private:
    std::optional<std::uint16_t> password_;
    std::optional<std::uint16_t> pending_;
    bool active_ = false;
};

}  // namespace pv::sim
