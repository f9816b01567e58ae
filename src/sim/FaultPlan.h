#pragma once
// Faults a virtual station puts on its replies, set per station while the bus runs (from a test,
// the command line or another thread). Each fault fires once, a given number of times, or on
// every reply, and then the station answers normally again.

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

namespace pv::sim {

enum class FaultKind : std::uint8_t {
    None,
    Drop,           // no reply at all
    BadCrc,         // the reply with its CRC bytes spoiled
    Delay,          // the reply, held back by `arg` ms (default: well past the master's time-out)
    WrongFunction,  // the reply with another function code (arg, default function + 1), valid CRC
    Exception,      // an exception reply with code `arg` (default 4)
    Late,           // the reply held back so long that it lands in the master's next transaction
    Garbage,        // `arg` noise bytes (default: as many as the reply) instead of the reply
    Truncated,      // the first `arg` bytes of the reply (default: half of it), then silence
    Disconnect,     // the wire goes away: no reply, and the bus reports itself disconnected
};

enum class FaultMode : std::uint8_t { Once, Count, Always };

struct Fault {
    FaultKind kind = FaultKind::None;
    int arg = -1;  // -1: the kind's default
};

// Default hold-back times, chosen against the master's default 500 ms response time-out.
inline constexpr int kDefaultDelayMs = 1000;
inline constexpr int kDefaultLateMs = 700;

std::string_view faultKindName(FaultKind kind);
std::optional<FaultKind> faultKindFromName(std::string_view name);

class FaultPlan {
public:
    FaultPlan() = default;
    FaultPlan(const FaultPlan&) = delete;
    FaultPlan& operator=(const FaultPlan&) = delete;

    // Replaces the plan. `count` is used by FaultMode::Count (at least 1).
    void set(FaultKind kind, FaultMode mode = FaultMode::Once, int arg = -1, int count = 1);
    void clear();
    // The fault for the reply being built now; consumes one use.
    Fault take();
    // Whether a fault is still pending (tests wait on this).
    bool pending() const;
    // How many replies a fault has been applied to since the plan was last set.
    int fired() const;

private:
    mutable std::mutex mutex_;
    Fault fault_;
    FaultMode mode_ = FaultMode::Once;
    int remaining_ = 0;
    int fired_ = 0;
};

}  // namespace pv::sim
