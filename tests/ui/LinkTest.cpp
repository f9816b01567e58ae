// Connect and Disconnect through the main frame against the built-in virtual drive, with the
// dialogs answered by a script. Every channel call runs on the link thread.

#include <QButtonGroup>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogScript.h"
#include "app/ui/CMainFrame.h"
#include "comm/ui/CommSettingsDialog.h"
#include "project/DataPaths.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"
#include "widgets/StatusPanes.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

class LinkTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
    QTemporaryDir settingsDir_;
    std::shared_ptr<sim::VirtualBus> bus_;

    comm::SettingsLocation location() const {
        return {settingsDir_.path().toStdString() + "/", settingsDir_.path().toStdString()};
    }
    static void writeHandOver(const QString& path, const char* text) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(text);
    }
    static CommChoice simChoice(std::vector<int> stations, const std::string& text) {
        CommChoice c;
        c.portName = "SIM";
        c.stations = std::move(stations);
        c.settings.stationText = text;
        return c;
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
        bus_ = std::make_shared<sim::VirtualBus>(DataDir());
        bus_->addStation(1, 0x35001);
        bus_->addStation(2, 0x35021);
        serial::setVirtualPeer(bus_);
    }
    void init() { bus_->clearFaults(); }

    void connectsToTheVirtualDriveAndShowsItInTheStatusBar() {
        CMainFrame frame;
        frame.setSettingsLocation(location());
        DialogScript script;
        script.install(frame.prompts());
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        const auto choice = simChoice({1}, "1");
        QVERIFY(frame.openPort(choice));
        QVERIFY(frame.identifyStations(choice));
        QVERIFY(frame.linkState().linked);
        QCOMPARE(script.shown, QStringList({"message: Link successful !"}));
        QCOMPARE(frame.panes().shown(3), QString("Online"));
        QCOMPARE(frame.panes().shown(1), QString("Version: 1.35"));
        QCOMPARE(frame.panes().shown(4), QString("Model: N350-2P5-H"));
        QCOMPARE(frame.panes().shown(5), QString("Station Num: 1"));
        QVERIFY(QFile::exists(settingsDir_.filePath("acomfile.ini")));

        frame.disconnectLink();
        QVERIFY(!frame.linkState().linked);
        QCOMPARE(frame.panes().shown(3), QString("Unlink"));
        QCOMPARE(frame.panes().shown(5), QString("Station Num: "));
    }

    void connectMarksTheProjectModifiedOnlyWhenModelValuesReplaceSetValues() {
        CMainFrame frame;
        frame.setSettingsLocation(location());
        DialogScript script;
        script.install(frame.prompts());
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        frame.document()->modified = false;
        const auto choice = simChoice({1}, "1");
        // A new project already holds the model's values: nothing changes, nothing to save.
        QVERIFY(frame.openPort(choice));
        QVERIFY(frame.identifyStations(choice));
        QVERIFY(!frame.document()->modified);
        frame.disconnectLink();
        // A set value edited away from the model's value is replaced on the next link.
        frame.document()->table.record("00-14")->setValue = "77.7";
        QVERIFY(frame.openPort(choice));
        QVERIFY(frame.identifyStations(choice));
        QVERIFY(frame.document()->table.record("00-14")->setValue != "77.7");
        QVERIFY(frame.document()->modified);
        frame.disconnectLink();
    }

    void silentStationIsACommunicationError() {
        CMainFrame frame;
        frame.setSettingsLocation(location());
        frame.setResponseTimeout(std::chrono::milliseconds(50));
        DialogScript script;
        script.install(frame.prompts());
        const auto choice = simChoice({7}, "7");
        QVERIFY(frame.openPort(choice));
        QVERIFY(!frame.identifyStations(choice));
        QCOMPARE(script.shown, QStringList({"error: Communication Error."}));
        QVERIFY(!frame.linkState().linked);
        QCOMPARE(frame.panes().shown(3), QString("Unlink"));
    }

    void unknownPortCannotOpen() {
        CMainFrame frame;
        frame.setSettingsLocation(location());
        DialogScript script;
        script.install(frame.prompts());
        CommChoice bad = simChoice({1}, "1");
        bad.portName = "/dev/parvolt-no-such-port";
        QVERIFY(!frame.openPort(bad));
        QCOMPARE(script.texts("error"), QStringList({"Can't Open the Port !"}));
    }

    void handOverModeTwoStoresTheSettingsInAcomfile() {
        QTemporaryDir dir;
        const comm::SettingsLocation where{dir.path().toStdString() + "/",
                                           dir.path().toStdString()};
        CMainFrame frame;
        frame.setSettingsLocation(where);
        frame.setResponseTimeout(std::chrono::milliseconds(30));
        DialogScript script;
        script.install(frame.prompts());
        const QString handOver = dir.filePath("curfile.ini");
        writeHandOver(handOver, "2\nCOM4\n19200\n812\n1,3\n0\n");
        frame.startUp({}, handOver.toStdString());
        QVERIFY(!QFile::exists(handOver));
        QFile acom(dir.filePath("acomfile.ini"));
        QVERIFY(acom.open(QIODevice::ReadOnly));
        QCOMPARE(QString(acom.readAll()), QString("4\n2\n111\n1,3\n"));
        QCOMPARE(frame.commSettings().baudIndex, 2);
        QCOMPARE(frame.commSettings().parityIndex, 1);
        // No drive answers on that port here: the link is refused with one of the link's texts.
        QVERIFY(!frame.linkState().linked);
        QCOMPARE(script.shown.size(), 1);
    }

    void handOverModeTwoLinksAndCreatesAProjectOfTheDrivesModel() {
        QTemporaryDir dir;
        CMainFrame frame;
        frame.setSettingsLocation({dir.path().toStdString() + "/", dir.path().toStdString()});
        DialogScript script;
        script.install(frame.prompts());
        const QString handOver = dir.filePath("curfile.ini");
        writeHandOver(handOver, "2\nSIM\n9600\n802\n2\n0\n");
        frame.startUp({}, handOver.toStdString());
        QVERIFY(frame.linkState().linked);
        QVERIFY(frame.state().isProjectOpen());
        QCOMPARE(QString::fromStdString(frame.state().modelName), QString("N350-401-H"));
        QCOMPARE(frame.panes().shown(3), QString("Online"));
        QCOMPARE(frame.panes().shown(4), QString("Model: N350-401-H"));
        QCOMPARE(frame.panes().shown(5), QString("Station Num: 2"));
        QVERIFY(script.shown.isEmpty());
    }

    void settingsDialogOffersTheDeviceTypedLastTime() {
        QtPrompts prompts(nullptr);
        comm::CommSettings settings;
        const std::vector<std::string> ports = {"/dev/ttyS0", "TCPIP", "SIM"};
        CommSettingsDialog typed(settings, "/tmp/drive-pty", ports, false, prompts);
        QCOMPARE(typed.portBox()->currentText(), QString("/tmp/drive-pty"));
        QCOMPARE(typed.choice().portName, std::string("/tmp/drive-pty"));
        // A name that is no device path is not kept; the virtual drive is offered instead.
        CommSettingsDialog unknown(settings, "COM9", ports, false, prompts);
        QCOMPARE(unknown.portBox()->currentText(), QString("SIM"));
    }

    void settingsDialogRefusesAnEmptyStationList() {
        DialogScript script;
        QtPrompts prompts(nullptr);
        script.install(prompts);
        comm::CommSettings settings;
        CommSettingsDialog dialog(settings, "SIM", {"/dev/ttyS0", "TCPIP", "SIM"}, false, prompts);
        QCOMPARE(dialog.portBox()->currentText(), QString("SIM"));
        QVERIFY(dialog.connectButton()->isEnabled());
        QVERIFY(!dialog.disconnectButton()->isEnabled());
        QCOMPARE(dialog.baudGroup()->checkedId(), 1);
        QCOMPARE(dialog.parityGroup()->checkedId(), 2);
        QCOMPARE(dialog.stopBitsGroup()->checkedId(), 1);
        for (auto* b : dialog.dataBitsGroup()->buttons()) QVERIFY(!b->isEnabled());
        bool asked = false;
        dialog.setOpenPort([&](const CommChoice&) { return asked = true; });
        dialog.stationEdit()->clear();
        dialog.connectButton()->click();
        QCOMPARE(script.shown, QStringList({"message: The station number should not be null."}));
        QVERIFY(!asked);
        dialog.stationEdit()->setText("3,1-4");
        dialog.connectButton()->click();
        QCOMPARE(script.shown.last(), QString("message: The station number can not be repeat!"));
        QVERIFY(!asked);
        dialog.stationEdit()->setText("1,3,5-12");
        dialog.baudGroup()->button(2)->click();
        dialog.connectButton()->click();
        QVERIFY(asked);
        QVERIFY(dialog.opened());
        QCOMPARE(dialog.choice().settings.baudIndex, 2);
        QCOMPARE(dialog.choice().portName, std::string("SIM"));
        QCOMPARE(dialog.choice().stations, std::vector<int>({1, 3, 5, 6, 7, 8, 9, 10, 11, 12}));
    }
};

QTEST_MAIN(LinkTest)
#include "LinkTest.moc"
