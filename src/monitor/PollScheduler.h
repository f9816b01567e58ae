#pragma once
// Periodic polls of a live window (monitor, status pages, keypad, graph, auto refresh), run one
// at a time on the thread that owns the link. The window's own timer calls tick(); a tick while
// the previous poll of this window, or any other job on the link, still runs is skipped, never
// queued, so a slow line lowers the rate instead of piling up requests. The poll gets the station
// chosen when it was posted; what it returns is applied on the owner's thread. A failed poll
// ends the polling and its text is shown once; stop() returns only after a running poll ended.

#include <chrono>
#include <functional>
#include <string>

namespace pv::monitor {

// Where polls run. The desktop posts to its link thread; the command line and the tests run the
// job at once on their own thread.
class PollExecutor {
public:
    using Job = std::function<void()>;
    virtual ~PollExecutor() = default;
    // Runs `job` where the link lives unless a job already runs there; `done` follows on the
    // owner's thread. False when the job was skipped.
    virtual bool tryPost(const Job& job, const Job& done) = 0;
    // Returns when no job runs (the owner's event loop keeps turning meanwhile).
    virtual void waitIdle() = 0;
};

// Runs each job at once on the calling thread.
class InlineExecutor : public PollExecutor {
public:
    bool tryPost(const Job& job, const Job& done) override {
        job();
        if (done) done();
        return true;
    }
    void waitIdle() override {}
};

// What one poll found.
struct PollResult {
    enum class Outcome {
        Ok,    // applied
        Skip,  // this poll's text is shown, the polling goes on
        Stop,  // this poll's text is shown once and the polling ends
    };
    Outcome outcome = Outcome::Ok;
    std::string text;

    static PollResult ok() { return {}; }
    static PollResult skip(std::string t) { return {Outcome::Skip, std::move(t)}; }
    static PollResult stop(std::string t) { return {Outcome::Stop, std::move(t)}; }
};

class PollScheduler {
public:
    using Poll = std::function<PollResult(int station)>;  // on the link's thread
    using Apply = std::function<void(const PollResult&)>;  // on the owner's thread
    using Show = std::function<void(const std::string&)>;  // on the owner's thread

    PollScheduler(PollExecutor& executor, Poll poll, Apply apply, Show show);
    ~PollScheduler();
    PollScheduler(const PollScheduler&) = delete;
    PollScheduler& operator=(const PollScheduler&) = delete;

    // The shortest time from the start of one poll to the start of the next. A window whose
    // timer ticks several times per period gets a poll as soon as the period has passed and the
    // previous one ended, so a poll slightly longer than the period costs a little rate instead
    // of every other tick. Zero (the default): every tick may post.
    void setPeriod(std::chrono::milliseconds period) { period_ = period; }

    // The station of the polls posted from now on.
    void setStation(int station) { station_ = station; }
    int station() const { return station_; }

    void start();
    // Ends the polling; a poll already running has ended and been dropped when this returns.
    void stop();
    // The owner's timer: posts one poll unless stopped, one still runs, the link is busy or a
    // text of this poll is on screen. True when one was posted.
    bool tick();

    bool running() const { return running_; }
    // The polling ended because a poll failed (not by stop()).
    bool failed() const { return failed_; }
    bool pollRunning() const { return inFlight_; }
    int polls() const { return polls_; }
    int skipped() const { return skipped_; }

private:
    void finished(const PollResult& result);

    PollExecutor& executor_;
    Poll poll_;
    Apply apply_;
    Show show_;
    std::chrono::milliseconds period_{0};
    std::chrono::steady_clock::time_point lastStart_{};
    int station_ = 1;
    bool running_ = false;
    bool failed_ = false;
    bool inFlight_ = false;
    bool showing_ = false;
    int polls_ = 0;
    int skipped_ = 0;
};

}  // namespace pv::monitor
