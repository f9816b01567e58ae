// The parameter printout's layout: long names wrap instead of being cut, rows grow and never
// split over two pages, the footer counts the pages the layout really takes, and the header names
// only what is known.

#include <QFileInfo>
#include <QFontMetricsF>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include "UiFixtures.h"
#include "editing/ui/ParamPrintout.h"

using namespace pv;
using namespace pv::ui;
using namespace pv::ui::test;

namespace {

QString longName(int words) {
    QStringList w;
    for (int i = 0; i < words; ++i) w << QString("word%1").arg(i);
    return w.join(' ');
}

// An A4 PDF printer writing into `dir`. With PARVOLT_KEEP_PRINTOUT set the file is written
// there instead, to look at it.
void setUpPdf(QPrinter& pdf, const QTemporaryDir& dir) {
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    const QString keep = qEnvironmentVariable("PARVOLT_KEEP_PRINTOUT");
    pdf.setOutputFileName(keep.isEmpty() ? dir.filePath("list.pdf") : keep);
}

}  // namespace

Q_DECLARE_METATYPE(pv::ui::ParamPrintHeader)

class ParamPrintoutTest : public QObject {
    Q_OBJECT
private slots:
    void wrapsAtSpacesAndBreaksOnlyAWordTooWide_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::newRow("fits") << "ab cd" << 1;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("three words of a line each") << "MMMM MMMM MMMM" << 3;
        QTest::newRow("one word three widths long") << "MMMMMMMMMMMM" << 3;
    }
    void wrapsAtSpacesAndBreaksOnlyAWordTooWide() {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFont font;
        font.setPixelSize(20);
        const QFontMetricsF fm(font);
        const double width = fm.horizontalAdvance("MMMM") + 1;
        const QStringList wrapped = ParamPrintout::WrapText(text, fm, width);
        QCOMPARE(wrapped.size(), lines);
        for (const auto& l : wrapped) QVERIFY2(fm.horizontalAdvance(l) <= width, qPrintable(l));
        // Nothing of the text is lost.
        QCOMPARE(wrapped.join("").remove(' '), QString(text).remove(' '));
    }

    void longNameWrapsAndItsRowGrows() {
        ParamTable t = tableWithCounts({3});
        const QString name = "00-01 " + longName(60);
        t.groups[0].params[1].label = name.toStdString();
        qsizetype linesWithoutRead = 0;
        for (bool readColumn : {false, true}) {
            ParamPrintout printout(t, 0, readColumn);
            QPrinter pdf(QPrinter::HighResolution);
            QTemporaryDir dir;
            setUpPdf(pdf, dir);
            const auto layout = printout.layout(pdf);
            QCOMPARE(int(layout.rows.size()), 4);  // group row + 3 parameters
            const auto& wrapped = layout.rows[2];
            QVERIFY(wrapped.name.size() > 2);
            QCOMPARE(wrapped.name.join(' '), name);
            QVERIFY(wrapped.indent > 0);  // the lines after the first hang under the name
            QCOMPARE(layout.rows[3].line, wrapped.line + int(wrapped.name.size()));
            // The read value column takes room from the names, so they wrap sooner.
            if (readColumn) QVERIFY(wrapped.name.size() > linesWithoutRead);
            linesWithoutRead = wrapped.name.size();
            QCOMPARE(layout.rows[1].name, QStringList({"00-00 Parameter 0"}));
            QCOMPARE(printout.print(pdf), 1);
        }
    }

    void footerCountsThePagesTheWrappedRowsTake() {
        // 24 groups of 40 records: 984 one-line rows, 21 pages while no name wraps.
        ParamTable t = tableWithCounts(std::vector<int>(24, 40));
        ParamPrintout plain(t, -1);
        QCOMPARE(plain.pageCount(), 21);
        QPrinter pdf(QPrinter::HighResolution);
        QTemporaryDir dir;
        setUpPdf(pdf, dir);
        QCOMPARE(plain.layout(pdf).pages, 21);

        // Names of group 05 take several lines each: more pages, and no row split over two.
        for (auto& r : t.groups[5].params)
            if (r.defined) r.label = std::string(r.code()) + " " + longName(40).toStdString();
        ParamPrintout wrapped(t, -1, true, {"pump1.nf3", "N350-2P5-H", "1.35", "1", "2026-12-06"});
        const auto layout = wrapped.layout(pdf);
        QVERIFY(layout.pages > 21);
        int lastPage = 1;
        for (const auto& r : layout.rows) {
            QVERIFY(r.page == lastPage || r.page == lastPage + 1);
            QVERIFY(r.line + r.name.size() <= ParamPrintout::kRowsPerPage);
            lastPage = r.page;
        }
        QCOMPARE(lastPage, layout.pages);
        QCOMPARE(ParamPrintout::PageText(2, layout.pages),
                 QString("Page 2 of %1").arg(layout.pages));
        QCOMPARE(wrapped.print(pdf), layout.pages);
        QVERIFY(QFileInfo(pdf.outputFileName()).size() > 0);
    }

    void headerNamesWhatIsKnown_data() {
        QTest::addColumn<ParamPrintHeader>("header");
        QTest::addColumn<QString>("text");
        QTest::newRow("linked") << ParamPrintHeader{"pump1.nf3", "N350-2P5-H", "1.35", "1",
                                                    "2026-12-06"}
                                << "Project: pump1.nf3    Model: N350-2P5-H    Version: 1.35    "
                                   "Station: 1    Date: 2026-12-06";
        QTest::newRow("new project, no drive")
            << ParamPrintHeader{"", "N350-401-H", "", "", "2026-12-06"}
            << "Model: N350-401-H    Date: 2026-12-06";
    }
    void headerNamesWhatIsKnown() {
        QFETCH(ParamPrintHeader, header);
        QFETCH(QString, text);
        QCOMPARE(header.text(), text);
    }
};

QTEST_MAIN(ParamPrintoutTest)
#include "ParamPrintoutTest.moc"
