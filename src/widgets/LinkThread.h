#pragma once
// The one rule: a job on the link thread computes and returns; the user-interface thread applies
// what it returned to the document and the windows (or the job calls into that thread with a
// blocking queued call, as the prompts do). A job writes into a document's table only under the
// document's own lock, and nothing else of the window's is touched from here.
//
// The one thread that talks to drives. Every transaction of the desktop program runs here, one
// job at a time, so two frames can never overlap on the wire and the window never waits on a
// reply: the user-interface thread only posts jobs and turns its event loop until they end.

#include <QObject>
#include <QPointer>
#include <QThread>
#include <QWidget>
#include <atomic>
#include <functional>

namespace pv::ui {

class LinkThread : public QObject {
    Q_OBJECT
public:
    using Job = std::function<void()>;

    explicit LinkThread(QObject* parent = nullptr);
    ~LinkThread() override;

    // Runs a workflow as one job and returns when it has ended. The caller's event loop keeps
    // turning meanwhile (repaint, timers, the prompts the job raises), but user input aimed at
    // `window` is swallowed so no second command starts. Waits for a running poll first.
    // Returns false only when another modal job is already in progress.
    bool runModal(const Job& job, QWidget* window);

    // Posts a periodic poll. When the previous job (poll or workflow) has not ended the poll is
    // skipped, not queued, and false is returned. `done` runs on the user-interface thread after
    // the job.
    bool tryPost(const Job& job, const Job& done = {});

    // Waits, turning the event loop, until the running job has ended.
    void waitIdle();

    bool busy() const { return busy_.load(); }
    bool modalRunning() const { return modal_; }
    bool onLinkThread() const { return QThread::currentThread() == &thread_; }
    // How many jobs have finished (tests use it to wait for a pass).
    int finishedJobs() const { return finished_.load(); }

signals:
    void jobFinished();

private:
    void post(const Job& job, const Job& done);

    QThread thread_;
    QObject* worker_ = nullptr;  // lives on thread_; jobs are invoked through it
    std::atomic<bool> busy_{false};
    std::atomic<int> finished_{0};
    bool modal_ = false;
};

// Swallows user input aimed at one window while a modal job runs; dialogs stay usable.
class InputBlocker : public QObject {
public:
    explicit InputBlocker(QWidget* window);
    ~InputBlocker() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
};

}  // namespace pv::ui
