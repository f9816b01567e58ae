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
    void typedTextBecomesACodePrefix_data() {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("whole code") << "13-00" << "13-00";
        QTest::newRow("without the dash") << "1300" << "13-00";
        QTest::newRow("while typing") << "130" << "13-0";
        QTest::newRow("group and dash") << "13-" << "13-";
        QTest::newRow("space for the dash") << "13 07" << "13-07";
        QTest::newRow("one digit") << "1" << "1";
        QTest::newRow("too many digits") << "13001" << "";
        QTest::newRow("dash too early") << "1-3" << "";
        QTest::newRow("a word") << "accel" << "";
        QTest::newRow("digits in a word") << "ai2" << "";
    }
    void typedTextBecomesACodePrefix() {
        QFETCH(QString, typed);
        QFETCH(QString, prefix);
        QCOMPARE(QString::fromStdString(CodePrefixOf(typed.toStdString())), prefix);
    }

    void filterKeepsWhatEveryWordAndToggleAllows_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readDiffers");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<bool>("kept");
        // The record: 00-14 "Acceleration Time 1", default 10.0, set 12.5, read 10.0.
        QTest::newRow("nothing asked") << "" << false << false << true;
        QTest::newRow("code") << "00-14" << false << false << true;
        QTest::newRow("code without dash") << "0014" << false << false << true;
        QTest::newRow("other code") << "00-15" << false << false << false;
        QTest::newRow("group prefix") << "00-" << false << false << true;
        QTest::newRow("word, any case") << "ACCEL" << false << false << true;
        QTest::newRow("two words") << "time accel" << false << false << true;
        QTest::newRow("one word missing") << "accel decel" << false << false << false;
        QTest::newRow("read differs") << "" << true << false << true;
        QTest::newRow("changed") << "" << false << true << true;
        QTest::newRow("word and toggle") << "decel" << false << true << false;
    }
    void filterKeepsWhatEveryWordAndToggleAllows() {
        QFETCH(QString, text);
        QFETCH(bool, readDiffers);
        QFETCH(bool, changed);
        QFETCH(bool, kept);
        ParamRecord rec;
        rec.label = "00-14 Acceleration Time 1";
        rec.defaultValue = "10.0";
        rec.setValue = "12.5";
        rec.readValue = "10.0";
        rec.defined = 1;
        ParamListFilter f{text.toStdString(), readDiffers, changed};
        QCOMPARE(MatchesFilter(rec, f), kept);
    }

    void togglesLookAtTheValues() {
        ParamRecord rec;
        rec.label = "00-14 Acceleration Time 1";
        rec.defaultValue = rec.setValue = "10.0";
        QVERIFY(!MatchesFilter(rec, {"", false, true}));  // not changed
        QVERIFY(!MatchesFilter(rec, {"", true, false}));  // never read
        rec.readValue = "10.0";
        QVERIFY(!MatchesFilter(rec, {"", true, false}));  // read, the same
        rec.readValue = "9.0";
        QVERIFY(MatchesFilter(rec, {"", true, false}));
    }

    void optionRowsShowNumberAndMeaning() {
        ParamRecord rec;
        rec.label = "00-00 Control Mode Selection";
        rec.options = {"0:V/F", "1:V/F+PG", "2:SLV", "12:Twelve", "3:"};
        QCOMPARE(DisplayValue(rec, "2"), std::string("2 (SLV)"));
        QCOMPARE(DisplayValue(rec, "1"), std::string("1 (V/F+PG)"));  // not the 12 option
        QCOMPARE(DisplayValue(rec, "12"), std::string("12 (Twelve)"));
        QCOMPARE(DisplayValue(rec, "3"), std::string("3"));   // no meaning given
        QCOMPARE(DisplayValue(rec, "7"), std::string("7"));   // not in the list: as it stands
        QCOMPARE(DisplayValue(rec, ""), std::string(""));     // no read value yet
        rec.options.clear();
        QCOMPARE(DisplayValue(rec, "2"), std::string("2"));
    }

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
};

QTEST_MAIN(ParameterListTest)
#include "ParameterListTest.moc"
