#pragma once
// The parameter window of a project: an MDI child holding the parameter list. It prints the
// list as shown through the File menu's print commands.

#include "editing/ui/CParameterView.h"
#include "widgets/CChildFrame.h"
#include "widgets/PrintableView.h"

namespace pv::ui {

class CParameterFrame : public CChildFrame, public PrintableView {
    Q_OBJECT
public:
    explicit CParameterFrame(QWidget* parent = nullptr);
    CParameterView* view() const { return view_; }
    // The project's file name, for the printout's header and the PDF's title.
    void setProjectName(const QString& name) { projectName_ = name; }

    bool print(QPrinter* printer) override;
    QString printTitle() const override;

private:
    CParameterView* view_;
    QString projectName_;
};

}  // namespace pv::ui
