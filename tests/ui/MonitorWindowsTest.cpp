// The live drive windows through the main frame against the virtual drive: run at 30 Hz from
// Monitor Control, the ramp on Monitor Status, the keypad's keys, the graph recording the ramp
// and reading its own export back, and a failed refresh that freezes Monitor Control's captions
// while its buttons keep working.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogScript.h"
#include "app/ui/CMainFrame.h"
#include "comm/ui/CommSettingsDialog.h"
#include "drive/Registers.h"
#include "monitor/GraphItems.h"
#include "monitor/ui/GraphMonitorDialog.h"
#include "monitor/ui/KeypadDialog.h"
#include "monitor/ui/MonitorControlDialog.h"
#include "monitor/ui/MonitorStatusDialog.h"
#include "monitor/ui/MonitorWindows.h"
#include "project/DataPaths.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

class MonitorWindowsTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
    QTemporaryDir dir_;
    std::shared_ptr<sim::VirtualBus> bus_;

    void link(CMainFrame& frame, DialogScript& script) {
        script.install(frame.prompts());
        frame.setSettingsLocation({dir_.path().toStdString() + "/", dir_.path().toStdString()});
        frame.setResponseTimeout(std::chrono::milliseconds(100));
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        CommChoice c;
        c.portName = "SIM";
        c.stations = {1};
        c.settings.stationText = "1";
        QVERIFY(frame.openPort(c));
        QVERIFY(frame.identifyStations(c));
        script.shown.clear();
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
        bus_ = std::make_shared<sim::VirtualBus>(DataDir());
        serial::setVirtualPeer(bus_);
    }
    void init() {
        bus_->addStation(1, 0x35001);  // a fresh drive, stopped
        bus_->clearFaults();
    }

    void runsTheDriveWatchesTheRampAndRecordsIt() {
        CMainFrame frame;
        DialogScript script;
        link(frame, script);
        QVERIFY(frame.action(CommandId::MonitorControl)->isEnabled());

        auto* control = frame.monitors().openControl();
        QVERIFY(control);
        control->findChild<QLineEdit*>("frequency")->setText("30.00");
        control->findChild<QPushButton*>("setFrequency")->click();
        QCOMPARE(script.shown, QStringList({"message: Write successful !"}));
        control->findChild<QPushButton*>("cmd_RUN")->click();
        QTRY_VERIFY_WITH_TIMEOUT(control->cachedWord() & drive::kCmdRun, 3000);
        control->commButton(1)->click();
        QTRY_COMPARE_WITH_TIMEOUT(control->commButton(1)->text(), QString("Comm S1 ON"), 3000);
        QCOMPARE(control->commButton(2)->text(), QString("Comm S2 OFF"));

        auto* graph = frame.monitors().openGraph();
        auto channels = graph->samples().channels;
        channels[0] = {monitor::GraphItemIndex("Output Freq."), "Output Freq.", "60.00", "0.00"};
        channels[1] = {monitor::GraphItemIndex("Output Current"), "Output Current", "20.0", "0.0"};
        graph->applyChannels(channels);
        graph->start();

        auto* status = frame.monitors().openStatus();
        status->start();
        QTRY_VERIFY_WITH_TIMEOUT(status->status().word(0x2524) > 0, 3000);
        const auto first = status->status().word(0x2524);
        QTRY_VERIFY_WITH_TIMEOUT(status->status().word(0x2524) > first, 3000);
        QVERIFY(status->rowText(0).contains("Running"));

        auto* keypad = frame.monitors().openKeypad();
        QCOMPARE(keypad->functionSelector()->currentIndex(), 0);
        keypad->hiddenButton(monitor::KeypadKey::Down)->click();
        QCOMPARE(keypad->functionSelector()->currentIndex(), 10);
        QTest::mouseClick(keypad->panel(), Qt::LeftButton, {}, QPoint(90, 290));  // DOWN's area
        QCOMPARE(keypad->functionSelector()->currentIndex(), 9);
        QTest::mouseClick(keypad->panel(), Qt::LeftButton, {}, QPoint(97, 340));  // between keys
        QCOMPARE(keypad->functionSelector()->currentIndex(), 9);
        QTRY_VERIFY_WITH_TIMEOUT(keypad->refresh().polls() > 0, 3000);

        QTRY_VERIFY_WITH_TIMEOUT(graph->samples().size() >= 8, 5000);
        graph->stop();
        const auto& s = graph->samples().samples;
        QVERIFY(s.back().values[0] > s.front().values[0]);  // the ramp
        QVERIFY(s.back().values[1] > 0);
        const auto recorded = monitor::GraphCsvLines(graph->samples());
        const std::string path = dir_.filePath("ramp.csv").toStdString();
        QVERIFY(graph->exportTo(path, true));
        graph->samples().clear();
        QVERIFY(graph->importFrom(path));
        QCOMPARE(monitor::GraphCsvLines(graph->samples()), recorded);
        QVERIFY(!script.texts("message").filter("TimeOut").size());

        // Disconnect closes the windows that poll; the graph keeps its samples.
        frame.disconnectLink();
        QVERIFY(!frame.monitors().control());
        QVERIFY(!frame.monitors().status());
        QVERIFY(!frame.monitors().keypad());
        QVERIFY(frame.monitors().graph());
        QVERIFY(!frame.action(CommandId::MonitorControl)->isEnabled());
    }

    void aFailedRefreshFreezesTheCaptionsButTheButtonsStillAct() {
        CMainFrame frame;
        DialogScript script;
        link(frame, script);
        auto* control = frame.monitors().openControl();
        QTRY_VERIFY_WITH_TIMEOUT(control->refresh().polls() > 0, 3000);
        bus_->faults(1).set(sim::FaultKind::Drop, sim::FaultMode::Always);
        QTRY_VERIFY_WITH_TIMEOUT(control->refresh().failed(), 3000);
        QCOMPARE(script.shown, QStringList({"message: TimeOut !"}));
        bus_->clearFaults();
        control->commButton(3)->click();
        QCOMPARE(bus_->station(1)->readRegister(drive::kRegCommandWord).value(),
                 monitor::CommInputBit(3));
        QTest::qWait(300);
        QCOMPARE(control->commButton(3)->text(), QString("Comm S3 OFF"));  // frozen
        QCOMPARE(script.shown.size(), 1);
    }
};

QTEST_MAIN(MonitorWindowsTest)
#include "MonitorWindowsTest.moc"
