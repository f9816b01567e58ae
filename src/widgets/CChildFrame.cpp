#include "widgets/CChildFrame.h"

#include <QCloseEvent>

namespace pv::ui {

CChildFrame::CChildFrame(QWidget* parent) : QMdiSubWindow(parent) {
    setAttribute(Qt::WA_DeleteOnClose, false);
}

void CChildFrame::closeForGood() {
    closing_ = true;
    close();
}

void CChildFrame::closeEvent(QCloseEvent* event) {
    if (closing_) {
        QMdiSubWindow::closeEvent(event);
        return;
    }
    event->ignore();
    emit closeRequested();
}

}  // namespace pv::ui
