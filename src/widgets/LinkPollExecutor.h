#pragma once
// The desktop's place for periodic polls: the link thread. A poll is skipped while any job runs
// there, so the windows that poll never queue frames behind each other or behind a transfer.

#include "monitor/PollScheduler.h"
#include "widgets/LinkThread.h"

namespace pv::ui {

class LinkPollExecutor : public monitor::PollExecutor {
public:
    explicit LinkPollExecutor(LinkThread& link) : link_(link) {}
    bool tryPost(const Job& job, const Job& done) override { return link_.tryPost(job, done); }
    void waitIdle() override { link_.waitIdle(); }

private:
    LinkThread& link_;
};

}  // namespace pv::ui
