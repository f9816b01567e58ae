#pragma once
// Auto refresh: the parameter groups 0..23 of one station read again and again into the read
// values while the user works. The engine owns no thread, no timer and no flag of the window: the
// desktop's link thread runs runOnePass() as a poll on its 100 ms timer (skipped, not queued,
// while the previous one still runs), and the window keeps whether auto refresh runs. stop() asks
// a running pass to end at its next transaction; the caller waits for the link thread to be idle.

#include <atomic>

#include "comm/ReadCommand.h"

namespace pv::comm {

class AutoRefresh {
public:
    explicit AutoRefresh(TransferContext& ctx) : ctx_(ctx) {}

    // Start: asks for the station ("Station Select") and verifies the drive with a read of the
    // drive type (the failure's text is shown). False when the user cancelled or the drive did
    // not answer; no pass runs then.
    bool start();

    enum class Pass {
        Read,     // all groups read, the views refreshed
        Skipped,  // not started, or stopped
        Stopped,  // stop() was asked for during the pass
        Failed,   // a read failed: its text was shown and no further pass runs
    };
    // One pass over groups 0..23 (no progress window), the table written under the document's
    // lock. Call it on the thread that owns the link.
    Pass runOnePass();

    // Asks a running pass to end at its next transaction and every later one to be skipped.
    // Returns at once; any thread.
    void stop() { stopped_ = true; }

    int station() const { return station_; }
    int passes() const { return passes_.load(); }

private:
    TransferContext& ctx_;
    int station_ = 0;
    std::atomic<bool> stopped_{true};
    std::atomic<int> passes_{0};
};

}  // namespace pv::comm
