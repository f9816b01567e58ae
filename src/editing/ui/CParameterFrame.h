#pragma once
// The parameter window of a project: an MDI child holding the parameter list.

#include "widgets/CChildFrame.h"
#include "editing/ui/CParameterView.h"

namespace pv::ui {

class CParameterFrame : public CChildFrame {
    Q_OBJECT
public:
    explicit CParameterFrame(QWidget* parent = nullptr);
    CParameterView* view() const { return view_; }

private:
    CParameterView* view_;
};

}  // namespace pv::ui
