#pragma once
// Monitor Status: the status block and the terminal block of a station on two pages, each page
// with its own station and its own 400 ms poll after Start. A failed poll ends that page's
// polling and says why once.

#include <QDialog>
#include <QWidget>
#include <array>
#include <memory>

#include "monitor/PollScheduler.h"
#include "monitor/StatusBlock.h"
#include "widgets/LinkPollExecutor.h"

class QComboBox;
class QLabel;
class QTabWidget;
class QTimer;

namespace pv::ui {

class MonitorHost;
class MonitorWindows;

// The terminal diagram: inputs S1..S8 and outputs R1, R2, DO1 as lamps.
class TerminalDiagram : public QWidget {
public:
    explicit TerminalDiagram(QWidget* parent);
    void setBlock(const monitor::TerminalBlock& block) {
        block_ = block;
        update();
    }
    QSize sizeHint() const override { return {420, 150}; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    monitor::TerminalBlock block_;
};

class MonitorStatusDialog : public QDialog {
    Q_OBJECT
public:
    MonitorStatusDialog(MonitorHost& host, MonitorWindows& windows, QWidget* parent);
    ~MonitorStatusDialog() override;

    void start();
    void stop();
    const monitor::PollScheduler& statusPoll() const { return *statusPoll_; }
    const monitor::PollScheduler& terminalPoll() const { return *terminalPoll_; }
    const monitor::StatusBlock& status() const { return status_; }
    // The text of a row of the status page.
    QString rowText(int row) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showStatus();
    QComboBox* stationCombo(QWidget* parent);

    MonitorHost& host_;
    MonitorWindows& windows_;
    LinkPollExecutor executor_;
    QTabWidget* tabs_;
    QComboBox* statusStation_;
    QComboBox* terminalStation_;
    std::array<QLabel*, monitor::kStatusWords> rows_{};
    TerminalDiagram* diagram_;
    QTimer* timer_;
    std::unique_ptr<monitor::PollScheduler> statusPoll_, terminalPoll_;
    monitor::StatusBlock status_, statusRead_;
    monitor::TerminalBlock terminalRead_;
    bool tenths_ = true;
};

}  // namespace pv::ui
