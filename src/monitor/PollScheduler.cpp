#include "monitor/PollScheduler.h"

#include <memory>

namespace pv::monitor {

PollScheduler::PollScheduler(PollExecutor& executor, Poll poll, Apply apply, Show show)
    : executor_(executor), poll_(std::move(poll)), apply_(std::move(apply)),
      show_(std::move(show)) {}

PollScheduler::~PollScheduler() {
    stop();
}

void PollScheduler::start() {
    running_ = true;
    failed_ = false;
    lastStart_ = {};
}

void PollScheduler::stop() {
    running_ = false;
    if (inFlight_) executor_.waitIdle();
}

bool PollScheduler::tick() {
    if (!running_ || inFlight_ || showing_) {
        if (running_) ++skipped_;
        return false;
    }
    const auto now = std::chrono::steady_clock::now();
    if (period_.count() > 0 && now - lastStart_ < period_) return false;
    auto result = std::make_shared<PollResult>();
    inFlight_ = true;
    const int station = station_;
    const bool posted = executor_.tryPost([this, result, station] { *result = poll_(station); },
                                          [this, result] { finished(*result); });
    if (posted)
        // Starts keep to the period's grid, so a timer that ticks a little late now and then
        // still gives the full rate; after a longer gap the grid starts again from now.
        lastStart_ = now - lastStart_ < 2 * period_ ? lastStart_ + period_ : now;
    else {
        inFlight_ = false;
        ++skipped_;
    }
    return posted;
}

void PollScheduler::finished(const PollResult& result) {
    inFlight_ = false;
    if (!running_) return;  // stopped meanwhile: the window no longer wants it
    ++polls_;
    if (result.outcome == PollResult::Outcome::Stop) {
        running_ = false;
        failed_ = true;
    }
    if (apply_) apply_(result);
    if (result.outcome != PollResult::Outcome::Ok && !result.text.empty() && show_) {
        // A message box turns the event loop: no further poll of this window starts under it.
        showing_ = true;
        show_(result.text);
        showing_ = false;
    }
}

}  // namespace pv::monitor
