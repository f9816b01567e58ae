#pragma once
// The parameter window of a project: an MDI child holding the parameter list. It prints the
// list as shown through the File menu's print commands.

#include <functional>

#include "editing/ui/CParameterView.h"
#include "editing/ui/ParamPrintout.h"

class QCheckBox;
class QLabel;
class QLineEdit;
#include "widgets/CChildFrame.h"
#include "widgets/PrintableView.h"

namespace pv::ui {

class CParameterFrame : public CChildFrame, public PrintableView {
    Q_OBJECT
public:
    explicit CParameterFrame(QWidget* parent = nullptr);
    CParameterView* view() const { return view_; }
    // The filter bar above the list: Ctrl+F puts the cursor in it, Esc clears it.
    QLineEdit* filterBox() const { return filterBox_; }
    QCheckBox* readDiffersToggle() const { return readDiffers_; }
    QCheckBox* changedToggle() const { return changed_; }
    // What the printout's header says (project file, model, drive, date), asked at print time.
    void setPrintHeader(std::function<ParamPrintHeader()> header) {
        printHeader_ = std::move(header);
    }

    bool print(QPrinter* printer) override;
    QString printTitle() const override;

private:
    void filterChanged();
    bool eventFilter(QObject* watched, QEvent* event) override;

    CParameterView* view_;
    QLineEdit* filterBox_;
    QCheckBox* readDiffers_;
    QCheckBox* changed_;
    QLabel* count_;
    std::function<ParamPrintHeader()> printHeader_;
};

}  // namespace pv::ui
