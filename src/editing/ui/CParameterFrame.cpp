#include "editing/ui/CParameterFrame.h"

#include "res/UiTexts.h"

namespace pv::ui {

CParameterFrame::CParameterFrame(QWidget* parent) : CChildFrame(parent) {
    setObjectName("parameterFrame");
    view_ = new CParameterView(this);
    setWidget(view_);
    setWindowTitle(ui_text::kParameterWindowTitle);
    setWindowIcon(QIcon(":/parvolt/parvolt.png"));
}

}  // namespace pv::ui
