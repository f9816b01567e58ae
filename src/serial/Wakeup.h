#pragma once
// Waking on time. Modbus RTU counts its silences in a few character times (1.75 ms above
// 19200 baud), so a wait that ends tens of microseconds late costs a visible share of every
// transaction.

#include "serial/Port.h"

namespace pv::serial {

// Lets the calling thread's timed waits end when they are due: the kernel otherwise may defer
// a wake-up by 50 us to batch it with others. Cheap after the first call on a thread.
void preciseWakeups();

// Sleeps until `deadline` (an absolute instant, so a signal or a late start adds nothing).
void sleepUntil(Deadline deadline);

}  // namespace pv::serial
