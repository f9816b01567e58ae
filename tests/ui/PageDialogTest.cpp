// The group dialog through the main frame against the built-in virtual drive: the page of the
// parameter double-clicked comes to the front with its row red, a typed value passes the edit
// filter, its write button writes it to the drive, and OK stores it.

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QTemporaryDir>
#include <QtTest>

#include "DialogScript.h"
#include "app/ui/CMainFrame.h"
#include "comm/ui/CommSettingsDialog.h"
#include "editing/ui/CompareWindow.h"
#include "editing/ui/ParameterGroupDialog.h"
#include "project/DataPaths.h"
#include "serial/VirtualWire.h"
#include "sim/VirtualBus.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

class PageDialogTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;
    QTemporaryDir settingsDir_;
    std::shared_ptr<sim::VirtualBus> bus_;

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

    // Runs Compare with its choice dialog answered OK (edited against read is preselected) and
    // returns the codes the compare window lists.
    QStringList compareRows(CMainFrame& frame) {
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<CompareChoiceDialog*>(QApplication::activeModalWidget()))
                d->accept();
        });
        frame.runCommand(CommandId::Compare);
        auto* w = frame.findChild<CompareWindow*>();
        if (!w) return {"no window"};
        QStringList codes;
        for (int r = 0; r < w->list()->rowCount(); ++r) codes << w->list()->item(r, 0)->text();
        return codes;
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
        bus_ = std::make_shared<sim::VirtualBus>(DataDir());
        bus_->addStation(1, 0x35001);
        serial::setVirtualPeer(bus_);
    }
    void cleanupTestCase() { serial::setVirtualPeer(nullptr); }

    void typedValueIsWrittenToTheDriveAndStoredOnOk() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        ParameterGroupDialog dialog(*frame, 0, 35, frame.get());
        dialog.show();
        // Position 35 of group 00 is 00-44, row 5 of the page "00-33 - 00-48".
        QCOMPARE(dialog.tabs()->currentIndex(), 3);
        QCOMPARE(dialog.tabs()->tabText(3), QString(" 00-33 - 00-48 "));
        QVERIFY(dialog.nameLabel(3, 5)->text().startsWith("00-44"));
        QVERIFY(dialog.nameLabel(3, 5)->styleSheet().contains("255, 0, 0"));
        QVERIFY(!dialog.nameLabel(3, 4)->styleSheet().contains("255"));

        // 00-14 on the page "00-10 - 00-19": a letter and a second decimal are filtered out.
        dialog.tabs()->setCurrentIndex(1);
        QLineEdit* edit = dialog.edit(1, 4);
        QVERIFY(edit);
        edit->selectAll();
        QTest::keyClicks(edit, "12.5x7");
        QCOMPARE(edit->text(), QString("12.5"));
        QTest::mouseClick(dialog.writeButton(1, 4), Qt::LeftButton);
        QCOMPARE(script.shown, QStringList({"station: Station Select",
                                            "message: Write successful !"}));
        QCOMPARE(bus_->station(1)->valueOf("00-14").value_or(""), std::string("12.5"));

        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const ParamRecord* rec = frame->document()->table.record(0, 14);
        QCOMPARE(rec->setValue, std::string("12.5"));
        QCOMPARE(frame->document()->table.paramEdited[0][14], 0);

        // Compare, edited against read: nothing differs; then the drive's 00-15 alone.
        QCOMPARE(compareRows(*frame), QStringList());
        bus_->station(1)->setValue("00-15", "25.0");
        QCOMPARE(compareRows(*frame), QStringList({"00-15"}));
        bus_->station(1)->setValue("00-15", rec->defaultValue);
    }

    // Figure for the closing note: building and showing the dialog of the group with the most
    // pages (group 11, eight pages), offscreen.
    void largestGroupOpensQuickly() {
        DialogScript script;
        auto frame = linkedFrame(script);
        QVERIFY(frame);
        // The first dialog of the process also pays for the style's first use.
        for (const char* when : {"first", "again"}) {
            QElapsedTimer t;
            t.start();
            ParameterGroupDialog dialog(*frame, 11, 0, frame.get());
            dialog.show();
            QCoreApplication::processEvents();
            qInfo("group 11 dialog (8 pages) opened in %.1f ms (%s)", t.nsecsElapsed() / 1e6, when);
            QCOMPARE(dialog.tabs()->count(), 8);
        }
    }
};

QTEST_MAIN(PageDialogTest)
#include "PageDialogTest.moc"
