// The main frame: menus with and without a project, the workspace tree choosing the list's
// group, the status panes, the hand-over file, recent files and the close question.

#include <QAbstractButton>
#include <QCheckBox>
#include <QDockWidget>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>
#include <fstream>

#include "UiFixtures.h"
#include "app/ui/CMainFrame.h"
#include "editing/ui/CParameterFrame.h"
#include "editing/ui/CParameterView.h"
#include "app/ui/HandOverFile.h"
#include "editing/ui/ParamListRows.h"
#include "widgets/PrintableView.h"
#include "widgets/QtPrompts.h"
#include "project/DataPaths.h"
#include "widgets/StatusPanes.h"
#include "widgets/WorkspaceTree.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

namespace {
QStringList menuTitles(QMainWindow& w) {
    QStringList out;
    for (auto* a : w.menuBar()->actions()) out << a->text();
    return out;
}

void writeFile(const QString& path, const std::string& text) {
    std::ofstream(path.toStdString(), std::ios::binary) << text;
}

// A new project of `model` saved at `path` by another frame.
bool saveNewProject(const QString& path, const char* model = "N350-2P5-H") {
    CMainFrame maker;
    return maker.session().newProject(model) && maker.session().saveAs(path.toStdString());
}

// Answers the next message boxes by clicking the given standard buttons in turn.
void answerBoxes(CMainFrame& frame, QList<QMessageBox::StandardButton> answers,
                 QStringList* seen = nullptr) {
    frame.prompts().setDialogHook([answers, seen](QDialog& d) mutable {
        auto* box = qobject_cast<QMessageBox*>(&d);
        if (!box || answers.isEmpty()) return false;
        if (seen) *seen << box->text();
        box->button(answers.takeFirst())->click();
        return true;
    });
}
}  // namespace

class MainFrameTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_;

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
    }

    void firstStartFitsTheScreenWithItsStatusBar() {
        // No window geometry kept yet: the whole window, status bar included, is on the screen.
        CMainFrame frame;
        const QScreen* screen = QGuiApplication::primaryScreen();
        QVERIFY(screen);
        const QRect free = screen->availableGeometry();
        QVERIFY2(frame.width() <= free.width() && frame.height() <= free.height(),
                 qPrintable(QString("%1x%2 on %3x%4")
                                .arg(frame.width())
                                .arg(frame.height())
                                .arg(free.width())
                                .arg(free.height())));
        QVERIFY(free.contains(frame.geometry()));
    }

    void everyCommandHasOnePlaceAndItsOwnShortcut() {
        // A command registered by any subsystem must be reachable from a menu once a project is
        // open, and no two commands may answer the same keys (Qt would silently run neither).
        CMainFrame frame;
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        QSet<QAction*> inMenus;
        for (auto* top : frame.menuBar()->actions())
            if (top->menu())
                for (auto* a : top->menu()->actions()) inMenus.insert(a);
        QMap<QString, QString> keys;
        // Two subsystems choosing the same place in a menu would interleave their groups.
        QMap<QPair<int, int>, QString> places;
        for (const Command& c : frame.commands().commands()) {
            const int n = int(c.id);
            const bool recent = n >= int(CommandId::RecentFirst) && n <= int(CommandId::RecentLast);
            if (c.menu != Menu::None && !recent) {
                QVERIFY2(inMenus.contains(frame.action(c.id)), qPrintable(c.text));
                const QPair<int, int> place{int(c.menu), c.menuOrder};
                QVERIFY2(!places.contains(place),
                         qPrintable(places.value(place) + " and " + c.text + " share a place"));
                places.insert(place, c.text);
            }
            if (c.shortcut.isEmpty()) continue;
            const QString k = c.shortcut.toString();
            QVERIFY2(!keys.contains(k), qPrintable(k + ": " + keys.value(k) + " and " + c.text));
            keys.insert(k, c.text);
        }
        QVERIFY(keys.size() >= 8);
    }

    void listKeepsItsValuesInSightAndFindsParameters() {
        CMainFrame frame;
        frame.resize(1000, 700);
        frame.show();
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        auto* pf = frame.findChild<CParameterFrame*>("parameterFrame");
        QVERIFY(pf);
        CParameterView* view = pf->view();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        // Every value column ends inside the list, the name column takes the rest.
        auto* header = view->horizontalHeader();
        for (int col : {CParameterView::ColDefault, CParameterView::ColSet, CParameterView::ColRead})
            QVERIFY2(header->sectionViewportPosition(col) + header->sectionSize(col) <=
                         view->viewport()->width(),
                     qPrintable(QString("column %1 ends at %2 of %3")
                                    .arg(col)
                                    .arg(header->sectionViewportPosition(col) + header->sectionSize(col))
                                    .arg(view->viewport()->width())));
        QVERIFY(header->sectionSize(CParameterView::ColName) > 150);

        // Typing a code in the list goes to it, with or without the dash.
        view->setFocus();
        QTest::keyClicks(view, "1300");
        const auto* at = ParameterAtRow(view->rows(), view->currentRow());
        QVERIFY(at);
        QCOMPARE(at->group, 13);
        QCOMPARE(frame.document()->table.groups[13].params[at->index].code(), std::string_view("13-00"));

        // The filter keeps the named parameters and their group rows, Esc gives all back.
        const int all = view->parameterCount();
        pf->filterBox()->setFocus();
        QTest::keyClicks(pf->filterBox(), "time acceleration");
        QVERIFY(view->shownParameters() > 0 && view->shownParameters() < all / 10);
        for (int row = 0; row < view->rowCount(); ++row) {
            const auto* p = ParameterAtRow(view->rows(), row);
            if (!p || view->isRowHidden(row)) continue;
            const auto& rec = frame.document()->table.groups[p->group].params[p->index];
            const QString name = QString::fromStdString(rec.label);
            QVERIFY2(name.contains("time", Qt::CaseInsensitive) &&
                         name.contains("acceleration", Qt::CaseInsensitive),
                     qPrintable(name));
        }
        QTest::keyClick(pf->filterBox(), Qt::Key_Escape);
        QCOMPARE(view->shownParameters(), all);

        // A fresh project differs from its defaults nowhere but where the model says so;
        // after one change the toggle shows that parameter.
        auto* rec = frame.document()->table.record(std::string_view("00-14"));
        QVERIFY(rec);
        rec->setValue = rec->defaultValue + "1";
        view->Fill(-1);
        pf->changedToggle()->setChecked(true);
        bool found = false;
        for (int row = 0; row < view->rowCount(); ++row) {
            const auto* p = ParameterAtRow(view->rows(), row);
            if (p && !view->isRowHidden(row) &&
                frame.document()->table.groups[p->group].params[p->index].code() == "00-14")
                found = true;
        }
        QVERIFY(found);
        QVERIFY(view->shownParameters() < all);
        pf->changedToggle()->setChecked(false);
        QCOMPARE(view->shownParameters(), all);
    }

    void printCommandsFollowTheActiveWindow() {
        CMainFrame frame;
        QVERIFY(!frame.activePrintable());
        QVERIFY(!frame.action(CommandId::Print)->isEnabled());
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        PrintableView* view = frame.activePrintable();
        QVERIFY(view);
        QVERIFY(frame.action(CommandId::Print)->isEnabled());
        QVERIFY(frame.action(CommandId::ExportPdf)->isEnabled());
        // What Export to PDF writes for the active window: a real file with its pages.
        QTemporaryDir dir;
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(dir.filePath("list.pdf"));
        QVERIFY(view->print(&pdf));
        QVERIFY(QFileInfo(dir.filePath("list.pdf")).size() > 1000);
        QCOMPARE(pdf.docName(), QString("N350 Parameter List"));  // the PDF's title
        // A folder that does not exist cannot take the file, and the view says so.
        pdf.setOutputFileName(dir.filePath("missing/list.pdf"));
        QVERIFY(!view->print(&pdf));
    }

    void hiddenWorkspaceComesBackHiddenAndUnmarked() {
        {
            CMainFrame frame;
            frame.show();
            QVERIFY(frame.action(CommandId::WorkspaceShow)->isChecked());
            frame.runCommand(CommandId::WorkspaceShow);
            QVERIFY(!frame.action(CommandId::WorkspaceShow)->isChecked());
            QVERIFY(frame.close());
        }
        CMainFrame again;
        again.show();
        auto* dock = again.findChild<QDockWidget*>("workspaceDock");
        QVERIFY(dock && !dock->isVisible());
        QVERIFY(!again.action(CommandId::WorkspaceShow)->isChecked());
        again.runCommand(CommandId::WorkspaceShow);
        QVERIFY(dock->isVisible());
        QVERIFY(again.action(CommandId::WorkspaceShow)->isChecked());
        QVERIFY(again.close());  // the next frames start with the workspace shown
    }

    void titleMarksUnsavedChanges() {
        CMainFrame frame;
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        QVERIFY(!frame.isWindowModified());
        auto* rec = frame.document()->table.record(std::string_view("00-14"));
        QVERIFY(rec);
        rec->readValue = "33.3";  // as a Read leaves it
        frame.runCommand(CommandId::TakeReadValues);
        QVERIFY(frame.isWindowModified());
        QVERIFY(frame.windowTitle().contains("[*]"));
        QTemporaryDir dir;
        QVERIFY(frame.session().saveAs((dir.path() + "/marked.nf3").toStdString()));
        QVERIFY(frame.session().save());
        frame.runCommand(CommandId::ParameterView);
        QVERIFY(!frame.isWindowModified());
    }

    void menusFollowTheProject() {
        CMainFrame frame;
        QCOMPARE(menuTitles(frame), QStringList({"&File", "&Operation", "&Help"}));
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        QCOMPARE(menuTitles(frame),
                 QStringList({"&File", "&Edit", "&View", "&Operation", "&Window", "&Help"}));
        QVERIFY(frame.action(CommandId::Save)->isEnabled());
        QCOMPARE(frame.action(CommandId::New)->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(frame.action(CommandId::Help)->shortcut(), QKeySequence(Qt::Key_F1));
    }

    void newProjectSetsStatusPanesAndTree() {
        CMainFrame frame;
        QCOMPARE(frame.panes().shown(3), QString("Unlink"));
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        QCOMPARE(frame.panes().shown(0), QString("FileName: New File"));
        QCOMPARE(frame.panes().shown(4), QString("Model: N350-2P5-H"));
        QCOMPARE(frame.panes().shown(5), QString("Station Num: "));
        auto* tree = frame.tree();
        QCOMPARE(tree->itemByNumber(WorkspaceTree::kParameter)->childCount(), 24);
        QCOMPARE(tree->itemByNumber(2002 + 2 * 5)->text(0),
                 QString("05-XX : Multi-Speed Parameters"));
        QCOMPARE(tree->itemByNumber(2048)->text(0),
                 QString("23-XX: Pump and HVAC Function Parameters"));
        QVERIFY(tree->itemByNumber(WorkspaceTree::kProgramme)->isExpanded());
        QVERIFY(tree->itemByNumber(WorkspaceTree::kParameter)->isExpanded());
        QCOMPARE(tree->itemByNumber(WorkspaceTree::kPlc)->text(0), QString("PLC"));
    }

    void treeSelectsGroupFiveAndParameterShowsAll() {
        CMainFrame frame;
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        frame.document()->table = tableWithCounts(std::vector<int>(24, 3));
        auto* tree = frame.tree();
        auto* item = tree->itemByNumber(WorkspaceTree::groupItemNumber(5));
        tree->scrollToItem(item);
        QCoreApplication::processEvents();
        const QPoint at = tree->visualItemRect(item).center();
        // A double-click as the window system delivers it: a click, then the double-click.
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(frame.state().selectedGroup, 5);
        auto* view = frame.parameterView();
        QCOMPARE(view->rowCount(), 4);
        for (const auto& r : view->rows()) QCOMPARE(r.group, 5);

        frame.activateTreeNumber(WorkspaceTree::kParameter);
        QCOMPARE(frame.state().selectedGroup, -1);
        QCOMPARE(view->rowCount(), 24 * 4);
    }

    void listsEveryDefinedParameterOfTheShippedTable() {
        CMainFrame frame;
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        const auto& table = frame.document()->table;
        auto* view = frame.parameterView();
        view->Fill(-1);
        int defined = 0;
        for (int g = 0; g < 24 && g < int(table.groups.size()); ++g)
            if (table.groups[g].defined)
                for (const auto& r : table.groups[g].params) defined += r.defined ? 1 : 0;
        QCOMPARE(view->rowCount(), table.definedGroupCount() + defined);
        qInfo("fill of the shipped table, %d rows: %.1f ms", view->rowCount(), view->lastFillMs());
    }

    void handOverModeOneOpensTheProjectAndIsDeleted() {
        QTemporaryDir dir;
        const QString project = dir.filePath("handed.nf3");
        QVERIFY(saveNewProject(project, "N350-401-H"));
        const QString handOver = dir.filePath("curfile.ini");
        writeFile(handOver, "1\n" + project.toStdString() + "\n");
        CMainFrame frame;
        frame.startUp({}, handOver.toStdString());
        QVERIFY(frame.state().isProjectOpen());
        QCOMPARE(QString::fromStdString(frame.state().projectPath), project);
        QCOMPARE(QString::fromStdString(frame.state().modelName), QString("N350-401-H"));
        QCOMPARE(frame.panes().shown(0), QString("FileName: handed.nf3"));
        QVERIFY(!QFile::exists(handOver));
        QCOMPARE(frame.recentFiles().value(0), project);
    }

    void handOverWithUnknownModeDoesNothingButIsDeleted() {
        QTemporaryDir dir;
        const QString handOver = dir.filePath("curfile.ini");
        writeFile(handOver, "7\nwhatever\n");
        CMainFrame frame;
        frame.startUp({}, handOver.toStdString());
        QVERIFY(!frame.state().isProjectOpen());
        QVERIFY(!QFile::exists(handOver));
    }

    void handOverModeTwoLineCoding() {
        const HandOver h = ParseHandOver("2\r\nCOM4\r\n19200\r\n812\r\n1,3\r\n6\r\n");
        QCOMPARE(h.mode, 2);
        QCOMPARE(h.portNumber, 4);
        QCOMPARE(h.baudIndex, 2);
        QCOMPARE(h.dataBitsIndex, 1);
        QCOMPARE(h.parityIndex, 1);
        QCOMPARE(h.stopBitsIndex, 1);
        QCOMPARE(QString::fromStdString(h.stationText), QString("1,3"));
        QCOMPARE(h.linkValue, 6);
        const HandOver even = ParseHandOver("2\nCOM1\n9600\n721\n1\n");
        QCOMPARE(even.dataBitsIndex, 0);
        QCOMPARE(even.parityIndex, 0);
        QCOMPARE(even.stopBitsIndex, 0);
        const HandOver none = ParseHandOver("2\nCOM1\n9600\n801\n1\n");
        QCOMPARE(none.parityIndex, 2);
        QVERIFY(none.problem.empty());
        for (const char* port : {"TCPIP", "/dev/ttyUSB0", "SIM"}) {
            const HandOver other = ParseHandOver(std::string("2\n") + port + "\n9600\n801\n1\n");
            QVERIFY2(other.problem.empty(), port);
            QCOMPARE(other.portNumber, 0);
        }
    }

    // A number that is garbage or beyond an int refuses the whole request, with the line named,
    // instead of becoming whatever atoi makes of it.
    void handOverRefusesGarbageAndOverflow() {
        const struct {
            const char* text;
            const char* named;
        } cases[] = {
            {"2x\nCOM1\n9600\n801\n1\n", "line 1 \"2x\""},
            {"99999999999\nC:/p.nf3\n", "line 1 \"99999999999\""},
            {"2\nCOMx\n9600\n801\n1\n", "line 2 \"COMx\""},
            {"2\nCOM4294967297\n9600\n801\n1\n", "line 2 \"COM4294967297\""},
            {"2\nCOM1\n9600baud\n801\n1\n", "line 3 \"9600baud\""},
            {"2\nCOM1\n57600\n801\n1\n", "line 3 \"57600\""},
            {"2\nCOM1\n9600\n801\n1\n6x\n", "line 6 \"6x\""},
        };
        for (const auto& c : cases) {
            const HandOver h = ParseHandOver(c.text);
            QCOMPARE(h.mode, 0);
            QVERIFY2(h.problem.find(c.named) != std::string::npos, h.problem.c_str());
            QVERIFY(h.problem.find("curfile.ini was ignored") != std::string::npos);
        }
        QCOMPARE(ParseHandOver("+1\nC:/p.nf3\n").mode, 1);
    }

    void commandLinePathDropsTheDdeSuffix() {
        QTemporaryDir dir;
        const QString project = dir.filePath("cmd.nf3");
        QVERIFY(saveNewProject(project));
        CMainFrame frame;
        frame.startUp(project + "/dde", dir.filePath("none.ini").toStdString());
        QCOMPARE(QString::fromStdString(frame.state().projectPath), project);
    }

    void droppedProjectFileOpens() {
        QTemporaryDir dir;
        const QString project = dir.filePath("dropped.nf3");
        QVERIFY(saveNewProject(project));
        CMainFrame frame;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(project)});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&frame, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(&frame, &drop);
        QCOMPARE(QString::fromStdString(frame.state().projectPath), project);
    }

    void recentEntryThatCannotOpenIsDropped() {
        QTemporaryDir dir;
        const QString gone = dir.filePath("gone.nf3");
        const QString kept = dir.filePath("kept.nf3");
        CMainFrame frame;
        QStringList seen;
        answerBoxes(frame, {QMessageBox::Ok}, &seen);
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        QVERIFY(frame.session().saveAs(gone.toStdString()));
        QVERIFY(frame.session().saveAs(kept.toStdString()));
        QCOMPARE(frame.recentFiles().mid(0, 2), QStringList({kept, gone}));
        QVERIFY(QFile::remove(gone));
        frame.runCommand(CommandId(int(CommandId::RecentFirst) + 1));
        QCOMPARE(seen, QStringList({"Can not open file."}));
        QVERIFY(!frame.recentFiles().contains(gone));
        QCOMPARE(frame.recentFiles().value(0), kept);
        QCOMPARE(QString::fromStdString(frame.state().projectPath), kept);
    }

    void closeAsksForAModifiedProject() {
        CMainFrame frame;
        frame.show();
        QVERIFY(frame.session().newProject("N350-2P5-H"));
        frame.document()->modified = true;
        QStringList seen;
        answerBoxes(frame, {QMessageBox::Cancel}, &seen);
        QVERIFY(!frame.close());
        QCOMPARE(seen, QStringList({"The file has been modified,save it or not?"}));
        QVERIFY(frame.state().isProjectOpen());
        answerBoxes(frame, {QMessageBox::No});
        QVERIFY(frame.close());
    }

    void aboutNamesTheProductAndVersion() {
        CMainFrame frame;
        QString text;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            text = box->text();
            box->accept();
        });
        frame.runCommand(CommandId::About);
        QVERIFY(text.contains("N350-Parvolt V1.35"));
    }
};

QTEST_MAIN(MainFrameTest)
#include "MainFrameTest.moc"
