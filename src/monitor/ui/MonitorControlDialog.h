#pragma once
// Monitor Control: commands one station's communication command word (run, stop, direction,
// fault reset, the inputs S1..S8, drive mode), its frequency command and digital outputs. The
// command word is refreshed every 100 ms; the first failed refresh freezes the captions and says
// why once, while the buttons keep working.

#include <QDialog>
#include <array>
#include <memory>

#include "monitor/DriveControl.h"
#include "monitor/PollScheduler.h"
#include "widgets/LinkPollExecutor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace pv::ui {

class MonitorHost;
class MonitorWindows;

class MonitorControlDialog : public QDialog {
    Q_OBJECT
public:
    MonitorControlDialog(MonitorHost& host, MonitorWindows& windows, QWidget* parent);
    ~MonitorControlDialog() override;

    int station() const;
    std::uint16_t cachedWord() const { return cached_; }
    const monitor::PollScheduler& refresh() const { return *refresh_; }
    // Ends the refresh (the link is closing); a running poll has ended on return.
    void stopRefresh();

    QPushButton* commButton(int input) const { return comm_[static_cast<size_t>(input - 1)]; }
    QPushButton* driveModeButton() const { return driveMode_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    // Runs a job on the link thread while this window waits; the text it leaves is shown.
    void act(const std::function<std::string(serial::CSerial&, int station)>& job);
    void applyWord();

    MonitorHost& host_;
    MonitorWindows& windows_;
    LinkPollExecutor executor_;
    std::unique_ptr<monitor::PollScheduler> refresh_;
    QTimer* timer_;
    QComboBox* stationBox_;
    std::array<QPushButton*, monitor::kCommInputs> comm_{};
    QPushButton* driveMode_;
    QLineEdit* frequency_;
    std::array<QComboBox*, 3> outputs_{};
    QLabel* note_;
    std::uint16_t cached_ = 0;
    std::uint16_t polled_ = 0;
    monitor::CommandSourceCheck check_;  // used by the poll only  // written by the poll on the link thread, taken after it
};

}  // namespace pv::ui
