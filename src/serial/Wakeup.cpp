#include "serial/Wakeup.h"

#include <sys/prctl.h>
#include <time.h>

#include <cerrno>

namespace pv::serial {

void preciseWakeups() {
    thread_local bool done = false;
    if (done) return;
    done = true;
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
}

void sleepUntil(Deadline deadline) {
    // steady_clock is CLOCK_MONOTONIC: its time points are the clock's own instants.
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
    if (ns <= 0) return;
    const timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

}  // namespace pv::serial
