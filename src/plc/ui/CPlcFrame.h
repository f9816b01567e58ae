#pragma once
// The ladder window of a project: an MDI child holding the ladder toolbar and the ladder view.

#include "plc/ui/CPlcView.h"
#include "widgets/CChildFrame.h"

class QActionGroup;
class QToolBar;

namespace pv::ui {

class CPlcFrame : public CChildFrame {
    Q_OBJECT
public:
    explicit CPlcFrame(Prompts& prompts, QWidget* parent = nullptr);
    CPlcView* view() const { return view_; }
    QToolBar* toolbar() const { return toolbar_; }
    // The toolbar action of a tool (tests, and the check marks that follow the view's tool).
    QAction* toolAction(Tool t) const;

private:
    void syncTools();
    CPlcView* view_;
    QToolBar* toolbar_;
    QActionGroup* tools_;
};

}  // namespace pv::ui
