#pragma once
// The parameter window of a project: an MDI child holding the parameter list. It prints the
// list as shown through the File menu's print commands.

#include "editing/ui/CParameterView.h"

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
    // The project's file name, for the printout's header and the PDF's title.
    void setProjectName(const QString& name) { projectName_ = name; }

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
    QString projectName_;
};

}  // namespace pv::ui
