#pragma once
// A window of the open project inside the main frame's MDI area. Closing it closes the project,
// so the close is handed to the main frame, which asks the save question first.

#include <QMdiSubWindow>

namespace pv::ui {

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(QWidget* parent = nullptr);
    // The main frame closes project windows through this; the user's close goes to closeRequested.
    void closeForGood();

signals:
    void closeRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool closing_ = false;
};

}  // namespace pv::ui
