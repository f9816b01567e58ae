#include "widgets/PrintDispatch.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include "res/ProjectTexts.h"
#include "res/UiTexts.h"
#include "widgets/PrintableView.h"

namespace pv::ui {

namespace {

void printActive(PrintHost& host) {
    PrintableView* view = host.activePrintable();
    if (!view) return;
    QPrintDialog dialog(&host.printer(), host.printParent());
    if (dialog.exec() != QDialog::Accepted) return;
    host.printer().setDocName(view->printTitle());
    view->print(&host.printer());
}

void previewActive(PrintHost& host) {
    PrintableView* view = host.activePrintable();
    if (!view) return;
    QPrintPreviewDialog preview(&host.printer(), host.printParent());
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [view](QPrinter* p) { view->print(p); });
    preview.resize(900, 760);
    preview.exec();
}

void exportActive(PrintHost& host) {
    PrintableView* view = host.activePrintable();
    if (!view) return;
    QString path = QFileDialog::getSaveFileName(host.printParent(), ui_text::kExportPdfCaption,
                                                host.suggestedPdfPath(view->printTitle()),
                                                ui_text::kPdfFilter);
    if (path.isEmpty()) return;
    if (QFileInfo(path).suffix().isEmpty()) path += ".pdf";
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setPageLayout(host.printer().pageLayout());
    pdf.setOutputFileName(path);
    pdf.setDocName(view->printTitle());
    pdf.setCreator(ui_text::kSettingsApplication);
    // A folder that cannot be written to must not look like a finished export.
    if (!view->print(&pdf)) host.printFailed(text::kCannotSaveFile);
}

}  // namespace

void RegisterPrintCommands(CommandTable& table, PrintHost& host) {
    auto printable = [&host] { return host.activePrintable() != nullptr; };
    Command print{CommandId::Print, ui_text::kCmdPrint, QKeySequence::Print, ui_text::kTipPrint};
    print.themeIcon = "document-print";
    print.styleIcon = QStyle::SP_FileDialogDetailedView;
    print.menu = Menu::File;
    print.menuOrder = 20;
    print.projectOnly = true;
    print.toolbarOrder = 14;
    print.run = [&host] { printActive(host); };
    print.enabled = printable;
    table.add(print);

    Command preview{CommandId::PrintPreview, ui_text::kCmdPrintPreview};
    preview.menu = Menu::File;
    preview.menuOrder = 21;
    preview.projectOnly = true;
    preview.run = [&host] { previewActive(host); };
    preview.enabled = printable;
    table.add(preview);

    Command setup{CommandId::PrintSetup, ui_text::kCmdPrintSetup};
    setup.menu = Menu::File;
    setup.menuOrder = 22;
    setup.projectOnly = true;
    setup.run = [&host] {
        QPageSetupDialog dialog(&host.printer(), host.printParent());
        dialog.exec();
    };
    table.add(setup);

    Command pdf{CommandId::ExportPdf, ui_text::kCmdExportPdf};
    pdf.menu = Menu::File;
    pdf.menuOrder = 23;
    pdf.projectOnly = true;
    pdf.run = [&host] { exportActive(host); };
    pdf.enabled = printable;
    table.add(pdf);
}

}  // namespace pv::ui
