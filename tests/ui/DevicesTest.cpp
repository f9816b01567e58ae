// The copy module commands and the network adapter controls of the Connect dialog, through the
// main frame and its real dialogs, against the virtual copy module and virtual adapters on
// loopback.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include "DialogScript.h"
#include "app/ui/CMainFrame.h"
#include "comm/ui/AdapterDialogs.h"
#include "comm/ui/CommSettingsDialog.h"
#include "project/DataPaths.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualAdapters.h"
#include "sim/VirtualBus.h"
#include "sim/VirtualCopyModule.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

class DevicesTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
    QTemporaryDir settingsDir_;
    std::shared_ptr<sim::VirtualCopyModule> module_;
    std::shared_ptr<sim::VirtualBus> bus_;

    std::unique_ptr<CMainFrame> frame(DialogScript& script) {
        auto f = std::make_unique<CMainFrame>();
        f->setSettingsLocation(
            {settingsDir_.path().toStdString() + "/", settingsDir_.path().toStdString()});
        f->setResponseTimeout(std::chrono::milliseconds(100));
        script.install(f->prompts());
        f->show();
        if (!f->session().newProject("N350-2P5-H")) return nullptr;
        return f;
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
        module_ = std::make_shared<sim::VirtualCopyModule>();
        serial::setVirtualPeer("SIM-COPY", module_);
        bus_ = std::make_shared<sim::VirtualBus>(DataDir());
        bus_->addStation(1, 0x35001);
    }

    void writeReadAndCompareThroughTheMenus() {
        DialogScript script;
        auto f = frame(script);
        QVERIFY(f);
        auto* rec = f->document()->table.record(std::string_view("00-14"));
        rec->setValue = "12.5";
        script.copyModuleAnswers = {{4, "Press 1", "SIM-COPY"}, {4, "", "SIM-COPY"}};
        f->runCommand(CommandId::CopyModuleWrite);
        rec->setValue = "30.0";
        f->document()->modified = false;
        f->runCommand(CommandId::CopyModuleRead);
        QCOMPARE(script.shown,
                 QStringList({"copymodule: copyModuleWriteDialog", "message: Write successful !",
                              "copymodule: copyModuleReadDialog", "message: Read Successfully !"}));
        QCOMPARE(rec->setValue, std::string("12.5"));
        QVERIFY(f->document()->modified);
        QVERIFY(f->copyModule().open());  // the module's channel stays open

        script.shown.clear();
        f->runCommand(CommandId::CopyModuleCompare);
        rec->setValue = "31.0";
        f->runCommand(CommandId::CopyModuleCompare);
        QCOMPARE(script.shown,
                 QStringList({"message: The values of the PC and the copy module are equal.",
                              "dialog: The compare value of PC and Copy Module"}));
    }

    void adaptersAreFoundRenamedMovedAndReachedOverTcp() {
        sim::VirtualAdapters adapters(*bus_, sim::StreamOptions{}, 0);
        std::string error;
        for (const char* a : {"00-20-4a-14-01-18@127.0.0.2", "00-20-4a-14-01-19@127.0.0.3"}) {
            sim::AdapterSetting s;
            QVERIFY(sim::parseAdapter(a, s));
            QVERIFY2(adapters.add(s, error), error.c_str());
        }
        QVERIFY2(adapters.listen(0, error), error.c_str());
        DialogScript script;
        auto f = frame(script);
        QVERIFY(f);
        comm::DiscoveryTarget target;
        target.address = "127.255.255.255";
        target.port = adapters.udpPort();
        target.localPort = 0;
        target.wait = std::chrono::milliseconds(200);
        f->setDiscoveryTarget(target);

        CommSettingsDialog d(f->commSettings(), "", {"TCPIP"}, false, f->prompts(), f.get());
        AdapterHooks hooks;
        hooks.search = [&](std::vector<comm::NetAdapter>& found) {
            const int n = f->searchAdapters();
            found = f->netAdapters();
            return n;
        };
        hooks.setIp = [&](const std::string& ip, const std::string& mac) {
            return f->assignAdapterAddress(ip, mac);
        };
        d.setAdapterHooks(hooks);
        QCOMPARE(d.adapterBox()->count(), 2);
        QCOMPARE(d.adapterButton()->text(), QString("127.0.0.2()"));

        // Dialog 272: a name and a new address for the second adapter.
        d.adapterBox()->setCurrentIndex(1);
        QTimer::singleShot(0, [] {
            auto* a = qobject_cast<AdapterDialog*>(QApplication::activeModalWidget());
            QVERIFY(a);
            a->ipEdit()->setText("127.0.0.9");
            a->nameEdit()->setText("Fan");
            a->accept();
        });
        d.onAdapterButton();
        QCOMPARE(d.adapterButton()->text(), QString("127.0.0.9(Fan)"));

        CommChoice c = d.choice();
        QVERIFY(c.adapter);
        c.stations = {1};
        c.settings.stationText = "1";
        f->setAdapterTcpPort(adapters.tcpPort());
        QVERIFY(f->openPort(c));
        QVERIFY(f->identifyStations(c));
        QVERIFY(f->linkState().linked && f->linkState().tcpIp);

        // While linked the dialog shows the link's address and offers no adapter to choose.
        CommSettingsDialog linked(f->commSettings(), "TCPIP", {"TCPIP"}, true, f->prompts(),
                                  f.get());
        hooks.linkedAddress = "127.0.0.9";
        linked.setAdapterHooks(hooks);
        QCOMPARE(linked.adapterButton()->text(), QString("127.0.0.9"));
        QVERIFY(!linked.adapterButton()->isEnabled());
        f->disconnectLink();
    }
};

QTEST_MAIN(DevicesTest)
#include "DevicesTest.moc"
