#pragma once
// What a window offers to the File menu's Print, Print Preview, Print Setup and Export to PDF:
// the main frame sends those commands to the active window when it implements this, so the
// parameter list, the ladder and the compare list print through the same commands.

#include <QString>

class QPrinter;

namespace pv::ui {

class PrintableView {
public:
    virtual ~PrintableView() = default;
    // Lays out and paints every page on `printer` (already set up: page size, PDF file, ...).
    // False when the printer could not be opened (a PDF in a folder that cannot be written).
    virtual bool print(QPrinter* printer) = 0;
    // The document title a PDF carries and the default file name of an export.
    virtual QString printTitle() const = 0;
};

}  // namespace pv::ui
