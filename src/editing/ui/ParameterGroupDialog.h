#pragma once
// The group dialog ("N350 Parameter"): one tab per page of the group, ten rows a page (name,
// write button, option list or edit, range label), Transmit Group, the small keyboard, OK and
// Cancel. It shows a PageModel and nothing more: the filter, the checks, Store and the writes are
// the core's; writes run on the link thread through the host.

#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <vector>

#include "comm/PageWrite.h"
#include "editing/PageModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace pv {
class Prompts;
}

namespace pv::ui {

// What the group dialogs need from the main window.
class PageHost {
public:
    virtual ~PageHost() = default;
    virtual CM240Doc* pageDocument() = 0;
    virtual Prompts& pagePrompts() = 0;
    // The drive settings frequency rows follow right now.
    virtual editing::DisplaySettings pageSettings() = 0;
    virtual bool pageConnected() = 0;
    // Runs a write as one job on the link thread with a context built for the linked drive (its
    // link is null while no drive is linked); `window` stays painted but takes no input.
    virtual void runPageWrite(const std::function<void(comm::PageWriteContext&)>& job,
                              QWidget* window) = 0;
    // The parameter list shows the values and edited marks again.
    virtual void pagesChanged() = 0;
};

class ParameterGroupDialog : public QDialog {
    Q_OBJECT
public:
    // The dialog of `group`, with the page of the parameter at `position` among the group's
    // defined records in front and its row red (the list view's numbering).
    // With `userPages` it is the user-parameter container: 00-41..00-56 as parameter codes on two
    // pages, its Transmit Group checking the running and lock state first.
    ParameterGroupDialog(PageHost& host, int group, int position, QWidget* parent = nullptr,
                         bool userPages = false);

    // Opens the dialog modally; on OK the pages are stored into the project and true returned.
    static bool Open(PageHost& host, int group, int position, QWidget* parent);
    static bool OpenUserParameters(PageHost& host, QWidget* parent);

    editing::PageModel& model() { return model_; }
    QTabWidget* tabs() const { return tabs_; }
    int redRow() const { return redRow_; }
    int redPage() const { return redPage_; }
    // The controls of a row (tests type into them and press its write button).
    QLineEdit* edit(int page, int row);
    QComboBox* combo(int page, int row);
    QPushButton* writeButton(int page, int row);
    QLabel* nameLabel(int page, int row);
    QLabel* rangeLabel(int page, int row);
    QPushButton* transmitButton() const { return transmit_; }

    void accept() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct RowWidgets {
        QLabel* name = nullptr;
        QPushButton* write = nullptr;
        QLineEdit* edit = nullptr;
        QComboBox* combo = nullptr;
        QLabel* range = nullptr;
    };
    void ensurePage(int page);
    void buildPage(int page);
    RowWidgets& widgets(int page, int row);
    void onEdited(int page, int row, const QString& typed);
    void onWrite(int page, int row);
    void onTransmit();
    void onTimer();
    void showBadRow(editing::PageLocation at);
    void typeKey(const QString& key);
    QWidget* buildKeyboard();

    PageHost& host_;
    bool user_ = false;
    bool writing_ = false;  // a write job on the link thread holds the model
    editing::PageModel model_;
    int redPage_ = -1;
    int redRow_ = -1;
    QTabWidget* tabs_ = nullptr;
    QPushButton* transmit_ = nullptr;
    QCheckBox* keyboardBox_ = nullptr;
    QWidget* keyboard_ = nullptr;
    QPointer<QLineEdit> lastEdit_;
    std::vector<std::vector<RowWidgets>> rows_;
    QTimer timer_;
};

}  // namespace pv::ui
