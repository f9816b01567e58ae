#include "sim/FaultPlan.h"

#include <array>
#include <utility>

namespace pv::sim {

namespace {
constexpr std::array<std::pair<FaultKind, std::string_view>, 10> kNames{{
    {FaultKind::None, "none"},
    {FaultKind::Drop, "drop"},
    {FaultKind::BadCrc, "badcrc"},
    {FaultKind::Delay, "delay"},
    {FaultKind::WrongFunction, "wrongfunc"},
    {FaultKind::Exception, "exception"},
    {FaultKind::Late, "late"},
    {FaultKind::Garbage, "garbage"},
    {FaultKind::Truncated, "truncated"},
    {FaultKind::Disconnect, "disconnect"},
}};
}  // namespace

std::string_view faultKindName(FaultKind kind) {
    for (const auto& [k, n] : kNames)
        if (k == kind) return n;
    return "none";
}

std::optional<FaultKind> faultKindFromName(std::string_view name) {
    for (const auto& [k, n] : kNames)
        if (n == name) return k;
    return std::nullopt;
}

void FaultPlan::set(FaultKind kind, FaultMode mode, int arg, int count) {
    std::lock_guard lock(mutex_);
    fault_ = {kind, arg};
    mode_ = mode;
    remaining_ = mode == FaultMode::Count ? (count < 1 ? 1 : count) : 1;
    fired_ = 0;
}

void FaultPlan::clear() {
    set(FaultKind::None);
}

Fault FaultPlan::take() {
    std::lock_guard lock(mutex_);
    if (fault_.kind == FaultKind::None) return {};
    const Fault f = fault_;
    ++fired_;
    if (mode_ != FaultMode::Always && --remaining_ <= 0) fault_ = {};
    return f;
}

bool FaultPlan::pending() const {
    std::lock_guard lock(mutex_);
    return fault_.kind != FaultKind::None;
}

int FaultPlan::fired() const {
    std::lock_guard lock(mutex_);
    return fired_;
}

}  // namespace pv::sim
