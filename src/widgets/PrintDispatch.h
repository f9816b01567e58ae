#pragma once
// Print, Print Preview, Print Setup and Export to PDF for whichever window is active: each
// window that can print implements PrintableView, and these four commands send themselves to it.

#include <QString>

#include "widgets/CommandTable.h"

class QPrinter;
class QWidget;

namespace pv::ui {

class PrintableView;

// What the print commands need from the main window.
class PrintHost {
public:
    virtual ~PrintHost() = default;
    virtual QWidget* printParent() = 0;
    // The active window when it can print, else nullptr (the commands are then disabled).
    virtual PrintableView* activePrintable() = 0;
    // The printer the user set up (page size, margins) and that Print and Preview use.
    virtual QPrinter& printer() = 0;
    // Folder and base name an export to PDF suggests (beside the project file); may be empty.
    virtual QString suggestedPdfPath(const QString& title) = 0;
    // Tells the user a failure (the export could not write its file).
    virtual void printFailed(const QString& text) = 0;
};

void RegisterPrintCommands(CommandTable& table, PrintHost& host);

}  // namespace pv::ui
