#pragma once
// The ladder window of a project: an MDI child holding the ladder toolbar and the ladder view.

#include "plc/ui/CPlcView.h"
#include "widgets/CChildFrame.h"
#include "widgets/PrintableView.h"

class QActionGroup;
class QLabel;
class QToolBar;

namespace pv::ui {

class CPlcFrame : public CChildFrame, public PrintableView {
    Q_OBJECT
public:
    explicit CPlcFrame(Prompts& prompts, QWidget* parent = nullptr);
    CPlcView* view() const { return view_; }
    QToolBar* toolbar() const { return toolbar_; }
    // The toolbar action of a tool (tests, and the check marks that follow the view's tool).
    QAction* toolAction(Tool t) const;
    // The element legend: the numbers of each kind with the ones in use marked.
    QLabel* legend() const { return legend_; }
    static QString legendText(const PlcProgram& program);
    // The ladder printout under the project's title block.
    bool print(QPrinter* printer) override;
    QString printTitle() const override;

private:
    void syncTools();
    void updateLegend();
    CPlcView* view_;
    QToolBar* toolbar_;
    QActionGroup* tools_;
    QLabel* legend_;
};

}  // namespace pv::ui
