// The parameter view's Export and Import through the real windows: the format dialog, the file
// dialogs, the messages, and the list redrawn with the imported values.

#include <QFileDialog>
#include <QMessageBox>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include "app/ui/CMainFrame.h"
#include "editing/ui/CParameterView.h"
#include "editing/ui/ExchangeFormatDialog.h"
#include "project/DataPaths.h"
#include "widgets/QtPrompts.h"

using namespace pv;
using namespace pv::ui;

class ExchangeCommandTest : public QObject {
    Q_OBJECT
    QTemporaryDir config_, files_;
    QStringList shown_;
    QString format_, file_;

    // Answers the format dialog with format_, the file dialog with file_ and every message box
    // with OK, recording what each showed.
    void script(CMainFrame& frame) {
        frame.prompts().setDialogHook([this](QDialog& d) {
            if (auto* f = qobject_cast<ExchangeFormatDialog*>(&d)) {
                shown_ << "format: " + f->windowTitle();
                f->findChild<QRadioButton*>(format_)->setChecked(true);
                f->accept();
            } else if (auto* f = qobject_cast<QFileDialog*>(&d)) {
                shown_ << "file: " + f->windowTitle();
                f->selectFile(file_);
                static_cast<QDialog*>(f)->accept();  // QFileDialog keeps its accept() protected
            } else if (auto* box = qobject_cast<QMessageBox*>(&d)) {
                shown_ << "message: " + box->text();
                box->buttons().value(0)->click();
            } else {
                return false;
            }
            return true;
        });
    }

private slots:
    void initTestCase() {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        SetDataDirOverride(std::string(PARVOLT_DATA_DIR) + "/");
    }

    void exportThenImportRestoresTheListedValues() {
        for (const char* kind : {"csvFormat", "excelFormat"}) {
            CMainFrame frame;
            QVERIFY(frame.session().newProject("N350-2P5-H"));
            script(frame);
            shown_.clear();
            format_ = kind;
            file_ = files_.filePath(format_ == "csvFormat" ? "export.csv" : "export.xlsx");
            frame.runCommand(CommandId::ExportParameters);
            QVERIFY(QFile::exists(file_));

            CParameterView* view = frame.parameterView();
            QVERIFY(view);
            const QString listed = view->item(1, CParameterView::ColSet)->text();
            frame.document()->table.record(0, 0)->setValue.replace(0, std::string::npos, 1, '5');
            frame.document()->modified = false;
            view->Fill(view->selectedGroup());
            QVERIFY(view->item(1, CParameterView::ColSet)->text() != listed);

            frame.runCommand(CommandId::ImportParameters);
            QCOMPARE(view->item(1, CParameterView::ColSet)->text(), listed);
            QVERIFY(frame.document()->modified);
            QCOMPARE(shown_, (QStringList{"format: Export/Import Format", "file: Export",
                                          "message: Export parameter success.", "file: Import",
                                          "message: Import parameter success."}));
        }
    }
};

QTEST_MAIN(ExchangeCommandTest)
#include "ExchangeCommandTest.moc"
