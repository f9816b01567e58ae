// Read, Write, auto refresh and taking the drive's values into the project, through the main
// frame and its real dialogs (answered by a script) against the built-in virtual drive. Also
// pins that the window's event loop keeps turning while the link thread works, and that a drive
// which stops answering ends the transfer instead of freezing the window.

#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogScript.h"
#include "app/ui/CMainFrame.h"
#include "editing/ui/CParameterView.h"
#include "comm/ui/CommSettingsDialog.h"
#include "project/DataPaths.h"
#include "serial/VirtualWire.h"
#include "sim/PtyServer.h"
#include "sim/VirtualBus.h"
#include "widgets/ProgressWindow.h"
#include "widgets/StatusPanes.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

namespace {
// Counts the turns of the window's event loop that happen while the link thread is busy.
struct LoopWatch {
    QTimer timer;
    int busyTurns = 0;
    int progressShownTurns = 0;
    explicit LoopWatch(CMainFrame& frame) {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this, &frame] {
            if (!frame.linkThread().busy()) return;
            ++busyTurns;
            if (frame.prompts().progressWindow()->isVisible()) ++progressShownTurns;
        });
        timer.start();
    }
};
}  // namespace

class TransferTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
    QTemporaryDir settingsDir_;
    std::shared_ptr<sim::VirtualBus> bus_;

    // A frame with a new project of the drive's model, linked to station 1.
    std::unique_ptr<CMainFrame> linkedFrame(DialogScript& script) {
        auto frame = std::make_unique<CMainFrame>();
        frame->setSettingsLocation(
            {settingsDir_.path().toStdString() + "/", settingsDir_.path().toStdString()});
        frame->setResponseTimeout(std::chrono::milliseconds(100));
        script.install(frame->prompts());
        frame->show();
        if (!frame->session().newProject("N350-2P5-H")) return nullptr;
        CommChoice c;
        c.portName = "SIM";
        c.stations = {1};
        c.settings.stationText = "1";
        if (!frame->openPort(c) || !frame->identifyStations(c)) return nullptr;
        script.shown.clear();
        return frame;
    }

    const ParamRecord* record(CMainFrame& f, const char* code) {
        return f.document()->table.record(std::string_view(code));
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
        bus_ = std::make_shared<sim::VirtualBus>(DataDir());
        bus_->addStation(1, 0x35001);
        serial::setVirtualPeer(bus_);
    }
    void init() {
        bus_->clearFaults();
        bus_->disableWireTime();
    }

    void readFillsTheReadValueColumn() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        QVERIFY(frame->action(CommandId::Read)->isEnabled());
        script.boxAnswers = {QMessageBox::No};  // "Save file?"
        frame->runCommand(CommandId::Read);
        QCOMPARE(script.shown,
                 QStringList({"station: Read", "transfer: Read", "message: Save file?",
                              "message: Read Successfully !"}));
        const auto* version = record(*frame, "13-01");
        QVERIFY(version && !version->readValue.empty());
        auto* view = frame->parameterView();
        int filled = 0;
        for (int row = 0; row < view->rowCount(); ++row)
            if (auto* it = view->item(row, CParameterView::ColRead);
                it && !it->text().trimmed().isEmpty())
                ++filled;
        QVERIFY(filled > 100);
        QVERIFY(!frame->prompts().progressWindow()->isVisible());

        // The drive's values become the project's.
        frame->document()->modified = false;
        frame->runCommand(CommandId::TakeReadValues);
        QCOMPARE(version->setValue, version->readValue);
        QVERIFY(frame->document()->modified);
    }

    void mistypedPasswordKeepsTheDialogOpenUntilItIsRight() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        script.passwords = {{"12", "21"}, {"", ""}, {"4321", "4321"}};
        frame->runCommand(CommandId::ParamPasswordSet);
        QCOMPARE(script.shown, QStringList({"station: Station Select", "password: Set Password",
                                            "refused: The password of two times not match.",
                                            "refused: Password cann't be null.",
                                            "message: The password is set."}));
        QCOMPARE(int(bus_->station(1)->readRegister(0x0D07).value_or(0xFFFF)), 2);

        script.shown.clear();
        script.passwords = {{"1e3"}, {"4321"}};
        frame->runCommand(CommandId::ParamPasswordRemove);
        QCOMPARE(script.shown, QStringList({"station: Station Select", "password: Password",
                                            "refused: Password must be Decimal.",
                                            "message: The password is cleared."}));
        QCOMPARE(int(bus_->station(1)->readRegister(0x0D07).value_or(0xFFFF)), 0);
    }

    void windowKeepsTurningDuringASlowReadAndCancelStopsIt() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        bus_->setWireTime(9600, std::chrono::milliseconds(2));
        script.boxAnswers = {QMessageBox::No};
        LoopWatch watch(*frame);
        // Cancel once the progress window has been seen repainting a few times.
        QTimer canceller;
        canceller.setInterval(5);
        connect(&canceller, &QTimer::timeout, [&] {
            if (watch.progressShownTurns >= 5) {
                frame->prompts().progressWindow()->cancelButton()->click();
                canceller.stop();
            }
        });
        canceller.start();
        frame->runCommand(CommandId::Read);
        QVERIFY(watch.progressShownTurns >= 5);
        QVERIFY(!script.shown.contains("message: Read Successfully !"));
        QVERIFY(!frame->linkThread().busy());
        QVERIFY(frame->linkState().linked);

        // The column now mixes this read with none: it says so until a whole Read succeeds.
        auto* view = frame->parameterView();
        QVERIFY(view->readValuesStale());
        QCOMPARE(view->horizontalHeaderItem(CParameterView::ColRead)->text(), QString("Read Value (old)"));
        QVERIFY(frame->statusBar()->currentMessage().startsWith("Read cancelled"));
        bus_->disableWireTime();
        script.boxAnswers = {QMessageBox::No};
        frame->runCommand(CommandId::Read);
        QVERIFY(script.shown.contains("message: Read Successfully !"));
        QVERIFY(!view->readValuesStale());
        QCOMPARE(view->horizontalHeaderItem(CParameterView::ColRead)->text(), QString("Read Value"));
    }

    void unpluggedAdapterUnlinksAndSaysWhy() {
        // The drive sits behind a real pseudo-terminal; closing its side is the adapter pulled.
        auto server = std::make_unique<sim::PtyServer>(*bus_, sim::StreamOptions{});
        std::string error;
        QVERIFY2(server->open(error), error.c_str());
        server->start();
        DialogScript script;
        CMainFrame frame;
        frame.setSettingsLocation(
            {settingsDir_.path().toStdString() + "/", settingsDir_.path().toStdString()});
        frame.setResponseTimeout(std::chrono::milliseconds(100));
        script.install(frame.prompts());
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        CommChoice c;
        c.portName = server->slavePath();
        c.stations = {1};
        c.settings.stationText = "1";
        QVERIFY(frame.openPort(c) && frame.identifyStations(c));
        script.shown.clear();

        server.reset();
        script.boxAnswers = {QMessageBox::No};
        frame.runCommand(CommandId::Read);
        const QString all = script.shown.join('\n');
        QVERIFY2(all.contains("The link to the drive is lost"), qPrintable(all));
        QVERIFY(!frame.linkState().linked);
        QCOMPARE(frame.panes().shown(3), QString("Unlink"));
        QVERIFY(!frame.action(CommandId::Read)->isEnabled());
    }

    void driveThatStopsAnsweringEndsTheReadWithItsText() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        bus_->faults(1).set(sim::FaultKind::Drop, sim::FaultMode::Always);
        script.boxAnswers = {QMessageBox::No};
        LoopWatch watch(*frame);
        frame->runCommand(CommandId::Read);
        QVERIFY(watch.busyTurns > 0);
        const QString all = script.shown.join('\n');
        QVERIFY2(all.contains("TimeOut !"), qPrintable(all));
        QVERIFY(!all.contains("Read Successfully !"));
        QVERIFY(!frame->linkThread().busy());
    }

    void autoRefreshReadsRepeatedlyAndRefusesReadUntilStopped() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        frame->runCommand(CommandId::AutoRefresh);
        QCOMPARE(script.shown, QStringList({"station: Station Select"}));
        QVERIFY(frame->autoRefreshRunning());
        QVERIFY(frame->action(CommandId::AutoRefresh)->isChecked());
        const int before = frame->linkThread().finishedJobs();
        QTRY_VERIFY_WITH_TIMEOUT(frame->linkThread().finishedJobs() >= before + 2, 30000);
        QVERIFY(!record(*frame, "00-00")->readValue.empty());

        frame->runCommand(CommandId::Read);
        QCOMPARE(script.shown.last(),
                 QString("message: PC software is under auto-refresh,Please stop auto-refresh "
                         "first!"));
        frame->runCommand(CommandId::AutoRefresh);
        QVERIFY(!frame->autoRefreshRunning());
        QVERIFY(!frame->action(CommandId::AutoRefresh)->isChecked());
        QVERIFY(!frame->linkThread().busy());
    }

    void autoRefreshStoppedInTheMiddleOfAPassEndsItAndSendsNothingMore() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        bus_->setWireTime(9600, std::chrono::milliseconds(2));
        frame->runCommand(CommandId::AutoRefresh);
        QVERIFY(frame->autoRefreshRunning());
        // Stop while a pass is on the wire: the pass ends at its next transaction and the
        // command returns only once the link is idle.
        QTRY_VERIFY_WITH_TIMEOUT(frame->linkThread().busy(), 30000);
        frame->runCommand(CommandId::AutoRefresh);
        QVERIFY(!frame->autoRefreshRunning());
        QVERIFY(!frame->linkThread().busy());
        const auto framesAtStop = bus_->framesSeen();
        const int jobsAtStop = frame->linkThread().finishedJobs();
        QTest::qWait(300);  // the refresh timer would have fired three times
        QCOMPARE(bus_->framesSeen(), framesAtStop);
        QCOMPARE(frame->linkThread().finishedJobs(), jobsAtStop);
        QVERIFY(script.shown == QStringList({"station: Station Select"}));
    }

    void autoRefreshThatLosesTheDriveWindsDownWhileItsTextIsRead() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        // A refresh that could never wind down would leave the window waiting for good.
        QTimer watchdog;
        watchdog.setSingleShot(true);
        connect(&watchdog, &QTimer::timeout,
                [] { qFatal("the auto refresh did not wind down after its failed pass"); });
        watchdog.start(60000);
        frame->runCommand(CommandId::AutoRefresh);
        QVERIFY(frame->autoRefreshRunning());
        const int before = frame->linkThread().finishedJobs();
        QTRY_VERIFY_WITH_TIMEOUT(frame->linkThread().finishedJobs() > before, 30000);

        // The drive goes away. The person takes a moment over "TimeOut !", and the refresh
        // timer keeps ticking behind the message meanwhile.
        bool held = false;
        script.onEveryDialog = [&](QDialog& d) {
            if (held || !qobject_cast<QMessageBox*>(&d)) return;
            held = true;
            QTest::qWait(400);
        };
        bus_->faults(1).set(sim::FaultKind::Drop, sim::FaultMode::Always);
        QTRY_VERIFY_WITH_TIMEOUT(held, 30000);
        QTRY_VERIFY_WITH_TIMEOUT(!frame->action(CommandId::AutoRefresh)->isChecked(), 30000);
        QVERIFY(!frame->autoRefreshRunning());
        QVERIFY2(script.shown.contains("message: TimeOut !"), qPrintable(script.shown.join('\n')));
        QTRY_VERIFY_WITH_TIMEOUT(!frame->linkThread().busy(), 30000);

        // The command answers again and starts a new refresh once the drive is back.
        bus_->clearFaults();
        script.shown.clear();
        frame->runCommand(CommandId::AutoRefresh);
        QCOMPARE(script.shown, QStringList({"station: Station Select"}));
        QVERIFY(frame->autoRefreshRunning());
        frame->runCommand(CommandId::AutoRefresh);
        QVERIFY(!frame->autoRefreshRunning());
        watchdog.stop();
    }

    void writeToAnotherModelListsTheParametersLeftOut() {
        bus_->addStation(3, 0x35002);  // same voltage class, another capacity
        DialogScript script;
        auto frame = std::make_unique<CMainFrame>();
        frame->setSettingsLocation(
            {settingsDir_.path().toStdString() + "/", settingsDir_.path().toStdString()});
        script.install(frame->prompts());
        QVERIFY(frame->session().newProject("N350-2P5-H"));
        CommChoice c;
        c.portName = "SIM";
        c.stations = {1, 3};
        c.settings.stationText = "1,3";
        QVERIFY(frame->openPort(c));
        QVERIFY(frame->identifyStations(c));
        script.shown.clear();
        script.stationIndex = 1;  // station 3
        frame->runCommand(CommandId::Write);
        const QString all = script.shown.join('\n');
        QVERIFY2(script.texts("question")
                     .contains("The N350 model is not match with Parvolt "
                               "software selected model. Continue ?"),
                 qPrintable(all));
        const QStringList lists = script.texts("list");
        QVERIFY2(lists.size() == 1 && !lists[0].endsWith("(0 rows)"), qPrintable(all));
        QCOMPARE(script.shown.last(), QString("message: Write successful !"));
    }

    void transferCommandsNeedALink() {
        DialogScript script;
        CMainFrame frame;
        script.install(frame.prompts());
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        QVERIFY(!frame.action(CommandId::Read)->isEnabled());
        QVERIFY(!frame.action(CommandId::Write)->isEnabled());
        QVERIFY(!frame.action(CommandId::AutoRefresh)->isEnabled());
        frame.runCommand(CommandId::Read);
        QVERIFY(script.shown.isEmpty());
    }
};

QTEST_MAIN(TransferTest)
#include "TransferTest.moc"
