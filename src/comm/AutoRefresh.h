#pragma once
// Auto refresh: the parameter groups 0..23 of one station read again and again into the read
// values while the user works. The engine owns no thread and no timer: the desktop's link thread
// calls runOnePass() on its 100 ms timer, and a pass that is still running when the timer fires
// again makes that call a no-op (skipped, not queued). stop() waits for a running pass, which
// ends at its next transaction once stopping was asked for.

#include <atomic>
#include <condition_variable>
#include <mutex>

#include "comm/ReadCommand.h"

namespace pv::comm {

class AutoRefresh {
public:
    explicit AutoRefresh(TransferContext& ctx) : ctx_(ctx) {}

    // Start: asks for the station ("Station Select"), verifies the drive with a read of the
    // drive type (the failure's text is shown) and sets the auto-refresh flag of the frame.
    // False when the user cancelled or the drive did not answer; the flag is then clear.
    bool start();

    enum class Pass {
        Read,     // all groups read, the views refreshed
        Skipped,  // not running, or the previous pass still runs
        Stopped,  // stop() was asked for during the pass
        Failed,   // a read failed: its text was shown and auto refresh is off
    };
    // One pass over groups 0..23 (no progress window). Call it from the link thread.
    Pass runOnePass();

    // Stop: clears the flag and waits until a running pass has ended. Any thread but the one
    // running the pass.
    void stop();

    bool running() const { return running_.load(); }
    int station() const { return station_; }
    int passes() const { return passes_.load(); }

private:
    void setFlag(bool on);

    TransferContext& ctx_;
    int station_ = 0;
    std::atomic<bool> running_{false};
    std::atomic<int> passes_{0};
    std::mutex passMutex_;
    std::mutex stateMutex_;
    std::condition_variable idle_;
    bool inPass_ = false;
};

}  // namespace pv::comm
