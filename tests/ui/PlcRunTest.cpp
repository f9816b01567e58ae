// Running a ladder program from the main window: written to the virtual drive with Write, then
// watched in Monitor mode while an input is forced (the ladder shows the coil powered once the
// timer has run, and the drive's output terminal is on), and the same program in the simulator
// without a drive.

#include <QCheckBox>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogScript.h"
#include "app/ui/CMainFrame.h"
#include "comm/ui/CommSettingsDialog.h"
#include "plc/ProgramText.h"
#include "plc/ui/CPlcFrame.h"
#include "plc/ui/LadderPrintout.h"
#include "plc/ui/PlcTools.h"
#include "project/DataPaths.h"
#include "serial/VirtualWire.h"
#include "sim/FaultPlan.h"
#include "sim/VirtualBus.h"
#include "widgets/TransferSelectDialog.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

namespace {
// I01 starts T01 (1.0 s: base tenths, preset 10); T01 drives Q01.
constexpr const char* kProgram =
    "000  I01----------[T01\n"
    "001  T01----------[Q01\n"
    "T01 mode=1 base=1 preset=0010 reset=- base2=1 preset2=0000\n";
constexpr std::uint16_t kTerminalWord = 0x2522;
constexpr std::uint16_t kR1 = 0x0100;
}  // namespace

class PlcRunTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
    QTemporaryDir dir_;
    std::shared_ptr<sim::VirtualBus> bus_;

    void newProject(CMainFrame& frame, DialogScript& script) {
        script.install(frame.prompts());
        frame.setSettingsLocation({dir_.path().toStdString() + "/", dir_.path().toStdString()});
        frame.setResponseTimeout(std::chrono::milliseconds(200));
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        frame.showLadder();
        QVERIFY(frame.activeLadder());
        std::string error;
        QVERIFY2(frame.activeLadder()->importText(kProgram, error), error.c_str());
    }

    CPlcView* view(CMainFrame& frame) { return frame.plcFrame()->view(); }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
        bus_ = std::make_shared<sim::VirtualBus>(DataDir());
        serial::setVirtualPeer(bus_);
    }

    void writesMonitorsAndForcesOnTheDrive() {
        auto& drive = bus_->addStation(1, 0x35001);
        drive.setValue("00-02", "3");  // the drive takes its commands from the PLC
        CMainFrame frame;
        DialogScript script;
        newProject(frame, script);
        CommChoice c;
        c.portName = "SIM";
        c.stations = {1};
        c.settings.stationText = "1";
        QVERIFY(frame.openPort(c));
        QVERIFY(frame.identifyStations(c));

        // Write with only the PLC box ticked.
        script.onEveryDialog = [](QDialog& d) {
            if (auto* t = qobject_cast<TransferSelectDialog*>(&d)) {
                t->plcBox()->setChecked(true);
                t->parametersBox()->setChecked(false);
            }
        };
        script.shown.clear();
        frame.runCommand(CommandId::Write);
        QVERIFY2(script.shown.filter("Write successful").size() == 1, qPrintable(script.shown.join(" | ")));

        // Run: the monitor starts (no program read), the pane says RUN, editing stops.
        script.questionAnswers = {false};
        script.boxAnswers = {QMessageBox::No, QMessageBox::No, QMessageBox::No};
        frame.runCommand(CommandId::PlcRun);
        auto& run = frame.plcRun();
        QVERIFY2(run.monitoring(), qPrintable(script.shown.join(" | ")));
        QCOMPARE(QString::fromStdString(frame.state().status.plcStatus), QString("RUN"));
        QVERIFY(!view(frame)->editor()->editable());
        QVERIFY(view(frame)->headerText().contains("Monitor"));
        QVERIFY(frame.action(CommandId::PlcMonitor)->isChecked());

        // Write refuses while monitoring.
        script.shown.clear();
        frame.runCommand(CommandId::Write);
        QCOMPARE(script.shown, QStringList({"message: PLC is running\nPlease stop machine first."}));

        // Nothing powers Q01 until I1 is forced; then T01 runs its second and Q01 follows.
        QTRY_VERIFY_WITH_TIMEOUT(run.polls() >= 1, 3000);
        QVERIFY(!view(frame)->liveFlow().coilOn(1));
        QVERIFY(!(*drive.readRegister(kTerminalWord) & kR1));
        frame.runCommand(CommandId::InputStatusTool);
        QVERIFY(run.inputStatusTool());
        run.inputStatusTool()->inputButton(1)->click();
        QTRY_VERIFY_WITH_TIMEOUT(view(frame)->liveFlow().coilOn(0), 3000);  // T01's coil at once
        QTRY_VERIFY_WITH_TIMEOUT(view(frame)->liveFlow().coilOn(1), 5000);
        QVERIFY(run.states().T[0]);
        // Q1 follows T1 one drive scan later: seen at the latest by the next poll.
        QTRY_VERIFY_WITH_TIMEOUT(run.states().Q[0], 3000);
        QVERIFY(*drive.readRegister(kTerminalWord) & kR1);
        QVERIFY(run.inputStatusTool()->inputButton(1)->isChecked());

        // A failed refresh is remembered and told once, when monitoring ends; Quit leaves the
        // drive's PLC running.
        script.shown.clear();
        bus_->faults(1).set(sim::FaultKind::Drop, sim::FaultMode::Always);
        QTRY_VERIFY_WITH_TIMEOUT(run.communicationErrorSeen(), 5000);
        bus_->clearFaults();
        QVERIFY(script.shown.isEmpty());
        frame.runCommand(CommandId::PlcQuit);
        QVERIFY(!run.monitoring());
        QCOMPARE(script.shown, QStringList({"message: Communication Error."}));
        QCOMPARE(*drive.readRegister(0xA600), std::uint16_t(1));

        // Monitor again, then Stop ends monitoring and the drive's PLC.
        script.questionAnswers = {false};
        script.boxAnswers = {QMessageBox::No, QMessageBox::No, QMessageBox::No};
        frame.runCommand(CommandId::PlcMonitor);
        QVERIFY(run.monitoring());
        frame.runCommand(CommandId::PlcStop);
        QVERIFY(!run.monitoring());
        QVERIFY(view(frame)->editor()->editable());
        QCOMPARE(QString::fromStdString(frame.state().status.plcStatus), QString("STOP"));
        QCOMPARE(*drive.readRegister(0xA600), std::uint16_t(0));
        QVERIFY(!(*drive.readRegister(kTerminalWord) & kR1));
        QCOMPARE(script.shown.filter("Communication Error").size(), 1);
    }

    void simulatesWithoutADrive() {
        CMainFrame frame;
        DialogScript script;
        newProject(frame, script);
        // Run without a link starts the simulator.
        frame.runCommand(CommandId::PlcRun);
        auto& run = frame.plcRun();
        QVERIFY(run.simulating());
        QVERIFY(view(frame)->headerText().contains("Simulate"));
        QVERIFY(view(frame)->headerText().contains("Timer resolution 100 ms"));
        QVERIFY(script.shown.isEmpty());  // T01's tenths keep pace with a 100 ms scan

        QTest::qWait(3 * PlcRunControl::kScanMs);
        QVERIFY(!view(frame)->liveFlow().coilOn(1));
        frame.runCommand(CommandId::InputStatusTool);
        QElapsedTimer clock;
        clock.start();
        run.inputStatusTool()->inputButton(1)->click();
        QTRY_VERIFY_WITH_TIMEOUT(view(frame)->liveFlow().coilOn(1), 3000);
        QVERIFY(clock.elapsed() >= 900);  // the timer's second, less one scan
        // Releasing the input drops the timer and the output at the next scan.
        run.inputStatusTool()->inputButton(1)->click();
        QTRY_VERIFY_WITH_TIMEOUT(!view(frame)->liveFlow().coilOn(1), 1000);

        frame.runCommand(CommandId::PlcSimulator);
        QVERIFY(!run.simulating());
        QVERIFY(!view(frame)->live());
        QVERIFY(view(frame)->editor()->editable());

        // Connect ends a running simulator first and says so.
        frame.runCommand(CommandId::PlcSimulator);
        QVERIFY(run.simulating());
        script.shown.clear();
        QTimer closer;  // the connection dialog is answered with Cancel
        connect(&closer, &QTimer::timeout, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget())) d->reject();
        });
        closer.start(50);
        frame.runCommand(CommandId::Connect);
        closer.stop();
        QVERIFY(!run.simulating());
        QCOMPARE(script.shown.value(0), QString("message: Simulator is being stop."));
    }

    void monitorAsksWhichStationOnceOnALinkOfSeveral() {
        auto& five = bus_->addStation(5, 0x35001);
        auto& six = bus_->addStation(6, 0x35001);
        five.setValue("00-02", "3");
        six.setValue("00-02", "3");
        CMainFrame frame;
        DialogScript script;
        newProject(frame, script);
        CommChoice c;
        c.portName = "SIM";
        c.stations = {5, 6};
        c.settings.stationText = "5,6";
        QVERIFY(frame.openPort(c));
        QVERIFY(frame.identifyStations(c));
        auto& run = frame.plcRun();
        for (int start = 0; start < 2; ++start) {
            script.shown.clear();
            script.stationIndex = 1;
            script.boxAnswers = {QMessageBox::No, QMessageBox::No, QMessageBox::No};
            frame.runCommand(CommandId::PlcRun);
            QVERIFY2(run.monitoring(), qPrintable(script.shown.join(" | ")));
            // Asked the first time only; the choice is kept while the station is on the link.
            QCOMPARE(script.shown.filter("station:").size(), start == 0 ? 1 : 0);
            QCOMPARE(*six.readRegister(0xA600), std::uint16_t(1));
            QCOMPARE(*five.readRegister(0xA600), std::uint16_t(0));
            frame.runCommand(CommandId::PlcStop);
            QVERIFY(!run.monitoring());
        }
    }

    void findsAndReplacesWithOneUndoStep() {
        CMainFrame frame;
        DialogScript script;
        newProject(frame, script);
        CPlcView* v = view(frame);
        auto* e = v->editor();
        e->setCursor(0, 0);
        QVERIFY(v->findNext("T1", true));  // T01's coil on row 0
        QCOMPARE(e->position(), 6);
        QVERIFY(v->findNext("T1", true));  // its contact on row 1
        QCOMPARE(e->line(), 1);
        QCOMPARE(e->position(), 0);
        QVERIFY(!v->findNext("t1", true));  // case tells a normally closed contact apart
        QCOMPARE(script.shown, QStringList({"message: Search Contact/Coil 't1' not find."}));

        script.shown.clear();
        QCOMPARE(v->replaceAll("T1", "T2"), 2);  // both confirmed with Yes
        QCOMPARE(script.texts("message").size(), 2);
        QCOMPARE(e->program().cellTextAt(1, 0), std::string("T02"));
        v->undo();
        QCOMPARE(e->program().cellTextAt(1, 0), std::string("T01"));
        QVERIFY(e->program().cellText[0][kCoilNumberColumn + 1] == '1');
    }


    void printsTheLadderAndItsBlocksToPdf() {
        CMainFrame frame;
        DialogScript script;
        newProject(frame, script);
        PrintTitleBlock::set(frame.document()->titleBlock.title, "Fan start");
        const auto lines = LadderPrintout::BlockLines(frame.document()->plc);
        QCOMPARE(int(lines.size()), 8 + 8 + 8 + 8 + 4 + 4);
        QCOMPARE(lines[0].block, QString("T01"));
        QCOMPARE(lines[0].used, QString("YES"));
        QCOMPARE(lines[0].mode, QString("1"));
        QVERIFY2(lines[0].preset.startsWith("0010") && lines[0].preset.contains("0.1 s"),
                 qPrintable(lines[0].preset));
        QCOMPARE(lines[1].used, QString("NO"));
        QCOMPARE(lines[8].kind, QString("Counter"));
        QVERIFY(lines[36].details.contains("Mul_V1:") && lines[36].details.contains("Error Coil:"));

        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString pdf = dir_.filePath("ladder.pdf");
        printer.setOutputFileName(pdf);
        QVERIFY(frame.plcFrame()->print(&printer));
        QCOMPARE(frame.plcFrame()->printTitle(), QString("Ladder - Fan start"));
        CPlcView* v = view(frame);
        QCOMPARE(LadderPrintout(*v, frame.document()->titleBlock).pageCount(printer), 2);
        QVERIFY(QFileInfo(pdf).size() > 2000);
    }
};

QTEST_MAIN(PlcRunTest)
#include "PlcRunTest.moc"
