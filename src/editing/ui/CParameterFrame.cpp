#include "editing/ui/CParameterFrame.h"

#include "editing/ui/ParamPrintout.h"
#include "res/UiTexts.h"

namespace pv::ui {

CParameterFrame::CParameterFrame(QWidget* parent) : CChildFrame(parent) {
    setObjectName("parameterFrame");
    view_ = new CParameterView(this);
    setWidget(view_);
    setWindowTitle(ui_text::kParameterWindowTitle);
    setWindowIcon(QIcon(":/parvolt/parvolt.png"));
}

bool CParameterFrame::print(QPrinter* printer) {
    const CM240Doc* doc = view_->document();
    if (!doc) return false;
    // The link thread may be writing read values into the table meanwhile.
    auto lock = view_->lockTable();
    ParamPrintout printout(doc->table, view_->selectedGroup());
    return printout.pageCount() == 0 || printout.print(*printer) > 0;
}

QString CParameterFrame::printTitle() const {
    return projectName_.isEmpty() ? QString(ui_text::kParameterWindowTitle) : projectName_;
}

}  // namespace pv::ui
