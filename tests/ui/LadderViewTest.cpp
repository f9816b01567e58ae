// The ladder window as a user drives it: a new "PLC Ladder" project opens the ladder in front,
// keys place I01 - M01 - [Q01 and a timer driven by I02 through the element dialogs, a comment
// goes in, undo and redo, save and reopen give the same program.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <deque>
#include <functional>

#include "app/ui/CMainFrame.h"
#include "plc/ProgramText.h"
#include "plc/ui/CPlcFrame.h"
#include "project/DataPaths.h"
#include "widgets/QtPrompts.h"
#include "widgets/WorkspaceTree.h"

using namespace pv;
using namespace pv::ui;

namespace {

void choose(QComboBox* box, const QString& text) {
    const int i = box->findText(text);
    QVERIFY2(i >= 0, qPrintable(text));
    box->setCurrentIndex(i);
}

// Answers the element dialogs in turn; each step fills one dialog and says OK or Cancel.
struct Answers {
    std::deque<std::function<bool(QDialog&)>> steps;
    QStringList titles;
    void install(CPlcView* view) {
        view->dialogs().setHook([this](QDialog& d) {
            titles << d.windowTitle();
            bool ok = false;
            if (!steps.empty()) {
                ok = steps.front()(d);
                steps.pop_front();
            }
            ok ? d.accept() : d.reject();
            return true;
        });
    }
};

std::function<bool(QDialog&)> contact(const QString& tab, const QString& number,
                                      bool inverted = false) {
    return [=](QDialog& d) {
        auto* c = qobject_cast<ContactDialog*>(&d);
        if (!c) return false;
        for (int i = 0; i < c->tabs()->count(); ++i)
            if (c->tabs()->tabText(i) == tab) c->tabs()->setCurrentIndex(i);
        if (!number.isEmpty()) choose(c->numberBox(), number);
        (inverted ? c->strNotButton() : c->strButton())->setChecked(true);
        return true;
    };
}

}  // namespace

class LadderViewTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
    }

    void newLadderProjectIsDrawnEditedSavedAndReopened() {
        CMainFrame frame;
        frame.resize(1000, 700);
        QVERIFY(frame.session().newProject("N350-2P5-H", 1));
        CPlcView* view = frame.activeLadder();
        QVERIFY(view);  // "PLC Ladder" puts the ladder in front
        QVERIFY(frame.action(CommandId::Undo));
        Answers answers;
        answers.install(view);
        auto keys = [view](const QString& sequence) {
            for (QChar ch : sequence) QTest::keyClick(view, ch.toLatin1());
        };
        answers.steps = {
            contact("I", "01"),
            contact("M", "01"),
            [](QDialog& d) {  // the coil [Q01, plain
                auto* c = qobject_cast<CoilDialog*>(&d);
                if (!c || c->pages()->tabText(c->pages()->currentIndex()) != "Q") return false;
                choose(c->numberBox("Q"), "01");
                return true;
            },
            contact("I", "02"),
            [](QDialog& d) {  // T01: on-delay mode 1, 5.0 s
                auto* c = qobject_cast<CoilDialog*>(&d);
                if (!c) return false;
                choose(c->numberBox("T"), "01");
                c->timerMode()->setCurrentIndex(0);
                if (c->timerReset()->isEnabled() || c->timerSecond()->isEnabled()) return false;
                choose(c->timerBase(), "0.1 s");
                c->timerPreset()->constantEdit()->setText("50");
                return true;
            },
            [](QDialog& d) {
                auto* c = qobject_cast<CommentDialog*>(&d);
                if (!c) return false;
                c->edit(0)->setText("Pump: I01 and M01 run Q01; I02 starts T01 (5.0 s)");
                return true;
            },
        };
        keys("i");  // I01 at position 0
        QTest::keyClick(view, Qt::Key_Right);
        QTest::keyClick(view, Qt::Key_Right);
        keys("m");  // M01 at position 2
        QTest::keyClick(view, Qt::Key_Right);
        QTest::keyClick(view, Qt::Key_Right);
        keys("a");  // a wire through cell 3
        QTest::keyClick(view, Qt::Key_End);
        keys("q");  // [Q01
        QTest::keyClick(view, Qt::Key_Down);
        QTest::keyClick(view, Qt::Key_Home);
        keys("i");                     // I02
        for (int i = 0; i < 2; ++i) {  // wires through cells 2 and 3
            QTest::keyClick(view, Qt::Key_Right);
            QTest::keyClick(view, Qt::Key_Right);
            keys("a");
        }
        QTest::keyClick(view, Qt::Key_End);
        keys("t");  // T01
        QTest::keyClick(view, Qt::Key_Up);
        keys("w");  // the comment above row 0
        QVERIFY2(answers.steps.empty(), qPrintable(answers.titles.join(", ")));
        QCOMPARE(answers.titles,
                 QStringList({"Edit Contact", "Edit Contact", "Edit Contact/Coil", "Edit Contact",
                              "Edit Contact/Coil", "Edit Comments"}));

        const PlcProgram& plc = frame.document()->plc;
        const std::string expected =
            "     // Pump: I01 and M01 run Q01; I02 starts T01 (5.0 s)\n"
            "000  I01-M01------[Q01\n"
            "001  I02----------[T01\n";
        QCOMPARE(ProgramToText(plc).substr(0, expected.size()), expected);
        QVERIFY(ProgramToText(plc).find(
                    "T01 mode=1 base=1 preset=0050 reset=- base2=1 preset2=0000\n") !=
                std::string::npos);
        QVERIFY(frame.document()->modified);
        QVERIFY(frame.isWindowModified());
        // The legend marks what the program uses: I01, I02, M01, Q01, T01.
        const QString legend = CPlcFrame::legendText(plc);
        for (const char* expected : {"I :12345678\n   **      \n", "Q :12\n   * \n",
                                     "M :123456789ABCDEF\n   *              \n",
                                     "T :12345678\n   *       \n", "C :12345678\n           \n"})
            QVERIFY2(legend.contains(expected), qPrintable(legend));

        // Undo takes the comment away, Redo brings it back; the Edit menu follows.
        const PlcProgram done = plc;
        QVERIFY(frame.action(CommandId::Undo)->isEnabled());
        frame.runCommand(CommandId::Undo);
        QCOMPARE(plc.commentCount, 0u);
        QVERIFY(frame.action(CommandId::Redo)->isEnabled());
        QTest::keyClick(view, Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(plc == done);

        // Esc drops a tool picked on the ladder toolbar; a click applies the tool picked.
        CPlcFrame* plcFrame = frame.plcFrame();
        plcFrame->toolAction(Tool::Wire)->trigger();
        QCOMPARE(view->clickTool(), Tool::Wire);
        QTest::keyClick(view, Qt::Key_Escape);
        QCOMPARE(view->clickTool(), Tool::None);
        QVERIFY(!plcFrame->toolAction(Tool::Wire)->isChecked());

        // PARVOLT_SHOTS=folder keeps pictures of the window and the timer page for the README.
        if (const QString shots = qEnvironmentVariable("PARVOLT_SHOTS"); !shots.isEmpty()) {
            frame.show();
            view->setFocus();
            QVERIFY(QTest::qWaitForWindowExposed(&frame));
            QTest::qWait(100);
            frame.grab().save(shots + "/ladder-done.png");
            // A fuller program for the README: a latch with a parallel branch, a set coil, a
            // timer, an AS block and symbols shown beside the names.
            CMainFrame demo;
            demo.resize(1000, 700);
            QVERIFY(demo.session().newProject("N350-2P5-H", 1));
            std::string error;
            QVERIFY(demo.activeLadder()->importText(
                "     // Pump: start (I01) latches M01 until stop (I02)\n"
                "000  I01vi02------[M01\n"
                "001  M01^\n"
                "002  M01-T01-----S Q01\n"
                "     // Run-on timer and flow total\n"
                "003  I03----------[T01\n"
                "004  I03-C01-----[AS01\n"
                "005  G01-d00-----R Q01\n"
                "T01 mode=1 base=1 preset=0050\n"
                "AS01 v1=T01 v2=000100 v3=C01\n"
                "symbols 1\nsymbol 1 Start\nsymbol 2 Stop\nsymbols 3\nsymbol 1 Running\n",
                error));
            demo.activeLadder()->setSymbolDisplay(SymbolDisplay::Both, true);
            demo.show();
            QVERIFY(QTest::qWaitForWindowExposed(&demo));
            QTest::qWait(100);
            demo.grab().save(shots + "/ladder-editor.png");
            PlcProgram scratch = plc;
            CoilDialog d({kCoilOutput, 'T', '0', '1'}, "", scratch, &frame);
            d.show();
            QVERIFY(QTest::qWaitForWindowExposed(&d));
            d.grab().save(shots + "/ladder-timer-dialog.png");
            ContactDialog contactDialog("i02", 0, &frame);
            SymbolDialog symbolDialog({{1, {{1, "Start button"}}}}, SymbolDisplay::Both, true,
                                      &frame);
            CommentDialog commentDialog({"Pump", "", "", ""}, &frame);
            for (QDialog* other :
                 {static_cast<QDialog*>(&contactDialog), static_cast<QDialog*>(&symbolDialog),
                  static_cast<QDialog*>(&commentDialog)}) {
                other->show();
                QVERIFY(QTest::qWaitForWindowExposed(other));
                other->grab().save(shots + "/" + other->objectName() + ".png");
            }
        }

        const QString path = dir_.filePath("ladder.nf3");
        QVERIFY(frame.session().saveAs(path.toStdString()));
        // Lines copied in one project can be pasted in the next.
        view->copy();
        QVERIFY(frame.openPath(path));
        frame.activateTreeNumber(WorkspaceTree::kPlc);
        QVERIFY(frame.action(CommandId::Paste)->isEnabled());
        CMainFrame again;
        QVERIFY(again.openPath(path));
        QVERIFY(again.document()->plc == done);
        // The tree item "PLC" brings the ladder to the front, "INV" the parameters.
        again.activateTreeNumber(WorkspaceTree::kPlc);
        QVERIFY(again.activeLadder());
        again.runCommand(CommandId::ParameterView);
        QVERIFY(!again.activeLadder());
        QVERIFY(!again.action(CommandId::Paste)->isEnabled());
    }

    void elementDialogsKeepTheirRules() {
        ContactDialog c("   ", 'D');
        QCOMPARE(c.tabs()->tabText(c.tabs()->currentIndex()), QString("D"));
        QVERIFY(!c.numberBox()->isEnabled());
        c.strNotButton()->setChecked(true);
        QCOMPARE(c.cell(), std::string("d00"));
        c.tabs()->setCurrentIndex(8);  // Line
        QVERIFY(!c.strButton()->isEnabled() && !c.strNotButton()->isEnabled());
        QCOMPARE(c.cell(), std::string("---"));
        c.tabs()->setCurrentIndex(9);  // Blank
        QCOMPARE(c.cell(), std::string("   "));
        c.tabs()->setCurrentIndex(2);  // M: STR again, 01~0F
        QVERIFY(c.strButton()->isChecked());
        QCOMPARE(c.numberBox()->count(), 15);
        QCOMPARE(c.rangeLabel()->text(), QString("01~0F"));

        PlcProgram p;
        const PlcProgram before = p;
        CoilDialog d({' ', ' ', ' ', ' '}, "", p);
        QCOMPARE(d.pages()->tabText(d.pages()->currentIndex()), QString("Q"));
        QCOMPARE(d.numberBox("Q")->count(), 2);
        QCOMPARE(d.outputType("Q")->itemText(1), QString("Set"));
        QCOMPARE(d.outputType("M")->itemText(1), QString("Reset"));
        d.selectPage("T");
        for (int mode = 1; mode <= 7; ++mode) {
            d.timerMode()->setCurrentIndex(mode - 1);
            QCOMPARE(d.timerReset()->isEnabled(), mode == 2 || mode == 3 || mode == 4 || mode == 6);
            QCOMPARE(d.timerSecond()->isEnabled(), mode == 7);
        }
        QVERIFY(p == before);  // nothing is written before OK
        // Mode 5 with a reset contact ticked before: no input is stored.
        d.timerMode()->setCurrentIndex(1);
        d.timerReset()->contactBox()->setChecked(true);
        d.timerMode()->setCurrentIndex(4);
        d.accept();
        QCOMPARE(d.coil(), (std::array<uint8_t, 4>{kCoilOutput, 'T', '0', '1'}));
        QCOMPARE(p.timers[0][1], uint8_t(0x51));
        QCOMPARE(p.timers[0][4], kNoInputLetter);
        QCOMPARE(p.timers[0][5], kNoInputNumber);
    }

    void cancelChangesNothingAndDeleteAsks() {
        CMainFrame frame;
        QVERIFY(frame.session().newProject("N350-2P5-H", 1));
        CPlcView* view = frame.activeLadder();
        Answers answers;
        answers.install(view);
        const PlcProgram before = frame.document()->plc;
        answers.steps = {[](QDialog&) { return false; }};  // Cancel on the contact dialog
        QTest::keyClick(view, 'i');
        QTest::keyClick(view, Qt::Key_End);
        answers.steps = {[](QDialog& d) {  // the coil dialog: change a timer, then Cancel
            auto* c = qobject_cast<CoilDialog*>(&d);
            if (c) c->timerPreset()->constantEdit()->setText("9999");
            return false;
        }};
        QTest::keyClick(view, 't');
        QVERIFY(frame.document()->plc == before);
        QVERIFY(!frame.document()->modified);
        // Delete on an empty cell asks to remove the line, by its number.
        QStringList asked;
        frame.prompts().setDialogHook([&asked](QDialog& d) {
            asked << d.windowTitle();
            d.reject();
            return true;
        });
        QTest::keyClick(view, Qt::Key_Delete);
        QCOMPARE(asked, QStringList({"MESSAGE:"}));
        QVERIFY(frame.document()->plc == before);
        // With the wire tool picked, each click on a cell draws a wire there; a double click on
        // a contact opens its dialog on the contact's own tab.
        view->resize(900, 600);
        view->setZoom(1.0);
        const double s = 0.75;  // the actual size: 0.75 pixels per unit
        const QPoint cell2OfLine3(int((80 + 170 + 85) * s), int((20 + 3 * 62 + 31) * s));
        QCOMPARE(view->lineAt(cell2OfLine3), 3);
        QCOMPARE(view->positionAt(cell2OfLine3), 2);
        frame.plcFrame()->toolAction(Tool::Wire)->trigger();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell2OfLine3);
        QCOMPARE(frame.document()->plc.cellTextAt(3, 1), std::string("---"));
        QTest::keyClick(view, Qt::Key_Escape);
        frame.document()->plc.setContact(3, 1, 'm', 7);
        QString tab;
        answers.steps = {[&tab](QDialog& d) {
            auto* c = qobject_cast<ContactDialog*>(&d);
            if (c)
                tab = c->tabs()->tabText(c->tabs()->currentIndex()) + " " +
                      c->numberBox()->currentText() +
                      (c->strNotButton()->isChecked() ? " NOT" : "");
            return false;
        }};
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell2OfLine3);
        QCOMPARE(tab, QString("M 07 NOT"));
        // Zoom: Ctrl+wheel and Ctrl+0 back to the actual size.
        view->setZoom(2.0);
        QTest::keyClick(view, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(view->zoom(), 1.0);
    }
};

QTEST_MAIN(LadderViewTest)
#include "LadderViewTest.moc"
