// The parameter list: which rows it shows, how a row maps back to a parameter, how values are
// refreshed in place, and how the printout is paginated.

#include <QFile>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "UiFixtures.h"
#include "editing/ui/CParameterView.h"
#include "editing/ui/ParamListRows.h"
#include "editing/ui/ParamPrintout.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

namespace {
// Pages of a PDF as its page objects count them.
int pdfPageCount(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray data = f.readAll();
    return int(data.count("/Type /Page\n")) + int(data.count("/Type /Page ")) +
           int(data.count("/Type /Page/")) + int(data.count("/Type /Page>"));
}
}  // namespace

class ParameterListTest : public QObject {
    Q_OBJECT
private slots:
    void groupWithGapListsOnlyItsDefinedRecords() {
        ParamTable t = tableWithCounts(std::vector<int>(24, 3));
        t.groups[9] = MakeFillerGroup(9);
        auto idx = range(0, 9);
        for (int i = 11; i <= 14; ++i) idx.push_back(i);
        defineGroup(t, 9, idx);
        const auto rows = BuildParamListRows(t, 9);
        QCOMPARE(int(rows.size()), 15);
        QVERIFY(rows[0].isGroupRow());
        QCOMPARE(rows[10].index, 9);
        QCOMPARE(rows[11].index, 11);
        QCOMPARE(rows[11].position, 10);
    }

    void undefinedGroupsAndOtherSelectionsShowNothing() {
        ParamTable t = tableWithCounts(std::vector<int>(24, 2));
        t.groups[4].defined = 0;
        QCOMPARE(CountParamListRows(t, -1), 23 * 3);
        QCOMPARE(CountParamListRows(t, 4), 0);
        QCOMPARE(CountParamListRows(t, -2), 0);
        QCOMPARE(CountParamListRows(t, 24), 0);
    }

    void rowMapsBackToGroupAndPosition_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("group");
        QTest::addColumn<int>("position");
        // Groups of 2 records: rows 0 G0, 1-2 params, 3 G1, 4-5 params, 6 G2 ...
        QTest::newRow("row 0 is the first group row") << 0 << -1 << -1;
        QTest::newRow("first parameter") << 1 << 0 << 0;
        QTest::newRow("second parameter") << 2 << 0 << 1;
        QTest::newRow("group row of 01") << 3 << -1 << -1;
        QTest::newRow("first of 01") << 4 << 1 << 0;
        QTest::newRow("last row") << 71 << 23 << 1;
        QTest::newRow("past the end") << 72 << -1 << -1;
        QTest::newRow("negative") << -1 << -1 << -1;
    }
    void rowMapsBackToGroupAndPosition() {
        QFETCH(int, row);
        QFETCH(int, group);
        QFETCH(int, position);
        const ParamTable t = tableWithCounts(std::vector<int>(24, 2));
        const auto rows = BuildParamListRows(t, -1);
        const auto* p = ParameterAtRow(rows, row);
        if (group < 0) {
            QVERIFY(p == nullptr);
        } else {
            QVERIFY(p != nullptr);
            QCOMPARE(p->group, group);
            QCOMPARE(p->position, position);
        }
    }

    void viewShowsColumnsAndOnlyTheSelectedGroup() {
        CM240Doc doc("");
        doc.table = tableWithCounts(std::vector<int>(24, 4));
        CParameterView view;
        view.setDocument(&doc);
        view.Fill(5);
        QCOMPARE(view.rowCount(), 5);
        QCOMPARE(view.item(0, CParameterView::ColName)->text(), QString("  05-XX Group 5"));
        QCOMPARE(view.item(1, CParameterView::ColName)->text(), QString("    05-00 Parameter 0"));
        QCOMPARE(view.item(2, CParameterView::ColDefault)->text(), QString("  1"));
        QCOMPARE(view.item(2, CParameterView::ColSet)->text(), QString("  101"));
        QVERIFY(view.item(0, CParameterView::ColDefault) == nullptr);
        QCOMPARE(view.columnWidth(CParameterView::ColBlank), 0);
        QCOMPARE(view.horizontalHeaderItem(1)->text(), QString("Parameter Name"));
        QCOMPARE(view.horizontalHeaderItem(2)->text(), QString("Default"));
        QCOMPARE(view.horizontalHeaderItem(3)->text(), QString("Set Value"));
        view.Fill(-1);
        QCOMPARE(view.rowCount(), 24 * 5);
    }

    void doubleClickReportsParametersButNotGroupRows() {
        CM240Doc doc("");
        doc.table = tableWithCounts(std::vector<int>(24, 2));
        CParameterView view;
        view.setDocument(&doc);
        view.Fill(-1);
        QSignalSpy spy(&view, &CParameterView::parameterActivated);
        emit view.cellDoubleClicked(3, 1);  // group row of 01
        emit view.cellDoubleClicked(0, 1);
        QCOMPARE(spy.count(), 0);
        emit view.cellDoubleClicked(5, 1);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toInt(), 1);
        QCOMPARE(spy[0][1].toInt(), 1);
    }

    void refreshRewritesDefaultsOnlyForModelDependentGroups() {
        CM240Doc doc("");
        doc.table = tableWithCounts(std::vector<int>(24, 1));
        CParameterView view;
        view.setDocument(&doc);
        view.Fill(-1);
        for (int g : {0, 4, 5, 6}) {
            doc.table.groups[g].params[0].defaultValue = "D";
            doc.table.groups[g].params[0].setValue = "S";
            doc.table.groups[g].params[0].readValue = "R";
        }
        view.RefreshShownValues();
        auto textAt = [&](int g, int col) { return view.item(g * 2 + 1, col)->text(); };
        for (int g : {0, 5, 6}) QCOMPARE(textAt(g, CParameterView::ColDefault), QString("  D"));
        QCOMPARE(textAt(4, CParameterView::ColDefault), QString("  0"));
        for (int g : {0, 4, 5, 6}) {
            QCOMPARE(textAt(g, CParameterView::ColSet), QString("  S"));
            QCOMPARE(textAt(g, CParameterView::ColRead), QString("  R"));
        }
    }

    void readValueOtherThanTheSetValueStandsOut() {
        CM240Doc doc("");
        doc.table = tableWithCounts(std::vector<int>(24, 3));
        CParameterView view;
        view.setDocument(&doc);
        view.Fill(0);
        auto& params = doc.table.groups[0].params;
        params[0].readValue = params[0].setValue;  // the drive agrees
        params[1].readValue = "7";                 // the drive has another value
        view.RefreshShownValues();
        auto readCell = [&](int index) { return view.item(index + 1, CParameterView::ColRead); };
        QVERIFY(!readCell(0)->font().bold());
        QVERIFY(readCell(1)->font().bold());
        QVERIFY(!readCell(2)->font().bold());  // nothing read yet
        // Taking the drive's value into the project ends the difference.
        params[1].setValue = "7";
        view.RefreshShownValues();
        QVERIFY(!readCell(1)->font().bold());
    }

    void pageCounts_data() {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("none") << 0 << 0;
        QTest::newRow("one row") << 1 << 1;
        QTest::newRow("one full page") << 49 << 1;
        QTest::newRow("49 + 11") << 60 << 2;
        QTest::newRow("two full pages") << 98 << 2;
        QTest::newRow("one more") << 99 << 3;
    }
    void pageCounts() {
        QFETCH(int, rows);
        QFETCH(int, pages);
        QCOMPARE(ParamPrintout::PageCount(rows), pages);
    }

    void printsSixtyRowsOnTwoPdfPages() {
        // 24 groups: 12 of 2 records and 12 of 1 record = 24 group rows + 36 = 60 rows.
        std::vector<int> counts(24, 1);
        for (int g = 0; g < 12; ++g) counts[g] = 2;
        const ParamTable t = tableWithCounts(counts);
        ParamPrintout printout(t, -1);
        QCOMPARE(printout.rowCount(), 60);
        QTemporaryDir dir;
        QPrinter pdf(QPrinter::HighResolution);
        pdf.setOutputFormat(QPrinter::PdfFormat);
        pdf.setOutputFileName(dir.filePath("list.pdf"));
        QCOMPARE(printout.print(pdf), 2);
        QCOMPARE(pdfPageCount(dir.filePath("list.pdf")), 2);
    }

    void printsOneGroupOnly() {
        const ParamTable t = tableWithCounts(std::vector<int>(24, 60));
        ParamPrintout printout(t, 3);
        QCOMPARE(printout.rowCount(), 61);
        QCOMPARE(printout.pageCount(), 2);
    }

    void fillsTheWholeTableQuickly() {
        // The full drive: 24 groups of up to 100 records.
        CM240Doc doc("");
        doc.table = tableWithCounts(std::vector<int>(24, 100));
        CParameterView view;
        view.setDocument(&doc);
        view.Fill(-1);
        QCOMPARE(view.rowCount(), 24 * 101);
        qInfo("fill of %d rows: %.1f ms", view.rowCount(), view.lastFillMs());
    }
};

QTEST_MAIN(ParameterListTest)
#include "ParameterListTest.moc"
