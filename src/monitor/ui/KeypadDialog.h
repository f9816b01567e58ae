#pragma once
// The KeyPad window: a picture of the drive's operator panel, drawn at a fixed size so that its
// key areas lie where the keypad's hit areas say, beside the station, the function selector, the
// frequency field and four monitor lines. A click in a key area clicks that key's hidden button,
// so both act alike. The refresh reads every 100 ms; the first failure stops it and says why.

#include <QDialog>
#include <QWidget>
#include <array>
#include <memory>

#include "monitor/DriveControl.h"
#include "monitor/Keypad.h"
#include "monitor/PollScheduler.h"
#include "widgets/LinkPollExecutor.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace pv::ui {

class MonitorHost;

class KeypadPanel : public QWidget {
    Q_OBJECT
public:
    explicit KeypadPanel(QWidget* parent);
    void setDisplay(const QString& name, const QString& value, bool running, bool reverse);
    bool dialPressed() const { return dialPressed_; }

signals:
    void keyClicked(monitor::KeypadKey key);

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QString name_, value_;
    bool running_ = false, reverse_ = false, dialPressed_ = false;
    monitor::KeypadKey down_ = monitor::KeypadKey::None;
};

class KeypadDialog : public QDialog {
    Q_OBJECT
public:
    KeypadDialog(MonitorHost& host, QWidget* parent);
    ~KeypadDialog() override;

    KeypadPanel* panel() const { return panel_; }
    QComboBox* functionSelector() const { return function_; }
    QLineEdit* frequencyField() const { return frequency_; }
    QPushButton* hiddenButton(monitor::KeypadKey key) const;
    const monitor::PollScheduler& refresh() const { return *refresh_; }
    const monitor::KeypadReadings& readings() const { return readings_; }
    QString monitorLine(int line) const;
    void stopRefresh();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void press(monitor::KeypadKey key);
    void setFrequency(monitor::FrequencyEntry entry);
    void applyReadings();
    int station() const;

    MonitorHost& host_;
    LinkPollExecutor executor_;
    KeypadPanel* panel_;
    QComboBox* station_;
    QComboBox* function_;
    QLineEdit* frequency_;
    QPushButton* setFrequency_;
    std::array<QComboBox*, 4> lineSelect_{};
    std::array<QLabel*, 4> lineValue_{};
    QLabel* runSource_;
    QLabel* freqSource_;
    std::array<QPushButton*, 8> hidden_{};
    QTimer* timer_;
    std::unique_ptr<monitor::PollScheduler> refresh_;
    monitor::KeypadReadings readings_, read_;
    bool unitKnown_ = false;
};

}  // namespace pv::ui
