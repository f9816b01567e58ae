// The link thread: jobs run off the user-interface thread one at a time, a periodic poll is
// skipped (not queued) while another job runs, a modal job keeps the event loop turning and
// swallows input aimed at the main window while dialogs stay usable.

#include <QLineEdit>
#include <QMainWindow>
#include <QtTest>
#include <atomic>
#include <condition_variable>
#include <mutex>

#include "widgets/LinkThread.h"

using namespace pv::ui;

namespace {
// A gate a job waits at until the test opens it.
struct Gate {
    std::mutex m;
    std::condition_variable cv;
    bool open = false;
    bool reached = false;
    void wait() {
        std::unique_lock lock(m);
        reached = true;
        cv.notify_all();
        cv.wait(lock, [&] { return open; });
    }
    void release() {
        std::lock_guard lock(m);
        open = true;
        cv.notify_all();
    }
    bool wasReached() {
        std::lock_guard lock(m);
        return reached;
    }
};
}  // namespace

class LinkThreadTest : public QObject {
    Q_OBJECT
private slots:
    void jobsRunOnTheLinkThread() {
        LinkThread link;
        QThread* ran = nullptr;
        bool onLink = false;
        QVERIFY(link.runModal(
            [&] {
                ran = QThread::currentThread();
                onLink = link.onLinkThread();
            },
            nullptr));
        QVERIFY(ran != nullptr);
        QVERIFY(ran != QThread::currentThread());
        QVERIFY(onLink);
        QVERIFY(!link.busy());
    }

    void pollIsSkippedWhileAnotherJobRuns() {
        LinkThread link;
        Gate gate;
        int polls = 0, done = 0;
        QVERIFY(link.tryPost([&] { gate.wait(); }, [&] { ++done; }));
        QTRY_VERIFY(gate.wasReached());
        QVERIFY(link.busy());
        QVERIFY(!link.tryPost([&] { ++polls; }));
        QVERIFY(!link.tryPost([&] { ++polls; }));
        gate.release();
        QTRY_COMPARE(done, 1);
        QVERIFY(link.tryPost([&] { ++polls; }));
        link.waitIdle();
        QCOMPARE(polls, 1);  // the two skipped polls never ran later
        QCOMPARE(link.finishedJobs(), 2);
    }

    void modalJobWaitsForARunningPollFirst() {
        LinkThread link;
        Gate gate;
        QStringList order;
        QVERIFY(link.tryPost([&] {
            gate.wait();
            order << "poll";
        }));
        QTRY_VERIFY(gate.wasReached());
        QTimer::singleShot(10, [&] { gate.release(); });
        QVERIFY(link.runModal([&] { order << "workflow"; }, nullptr));
        QCOMPARE(order, QStringList({"poll", "workflow"}));
    }

    void eventLoopTurnsDuringAModalJobAndMainWindowInputIsSwallowed() {
        LinkThread link;
        QMainWindow window;
        auto* edit = new QLineEdit(&window);
        window.setCentralWidget(edit);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QLineEdit dialogEdit;  // a separate window, as a dialog is
        dialogEdit.show();
        Gate gate;
        int turns = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] {
            if (!gate.wasReached()) return;
            ++turns;
            if (turns == 3) {
                QTest::keyClicks(edit, "main");
                QTest::keyClicks(&dialogEdit, "dialog");
                gate.release();
            }
        });
        ticker.start(1);
        QVERIFY(link.runModal([&] { gate.wait(); }, &window));
        QVERIFY(turns >= 3);
        QCOMPARE(edit->text(), QString());
        QCOMPARE(dialogEdit.text(), QString("dialog"));
        // Input reaches the window again once the job has ended.
        QTest::keyClicks(edit, "x");
        QCOMPARE(edit->text(), QString("x"));
    }

    void secondModalJobIsRefusedWhileOneRuns() {
        LinkThread link;
        bool nested = true;
        QVERIFY(link.runModal(
            [&] {
                QMetaObject::invokeMethod(
                    &link, [&] { nested = link.runModal([] {}, nullptr); },
                    Qt::BlockingQueuedConnection);
            },
            nullptr));
        QVERIFY(!nested);
    }
};

QTEST_MAIN(LinkThreadTest)
#include "LinkThreadTest.moc"
