#pragma once
// The "Graph Monitor" window: records up to four live quantities of the linked drive every
// 100 ms and draws them; its commands (Set..., Start, Stop, Pause, Dim Time..., Export...,
// Import..., Save(*.BMP), and PNG) sit on the right mouse button and on keys. The channel
// choices are the project's.

#include <QDialog>
#include <QElapsedTimer>
#include <memory>

#include "monitor/GraphRecording.h"
#include "monitor/PollScheduler.h"
#include "res/Prompts.h"
#include "widgets/LinkPollExecutor.h"

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QTimer;

namespace pv::ui {

class GraphView;
class MonitorHost;

// "Set...": each channel's item, maximum and minimum.
class ChannelSettingsDialog : public QDialog {
public:
    ChannelSettingsDialog(const std::array<GraphChannel, kGraphChannels>& channels, Prompts& prompts,
                          QWidget* parent);
    std::array<GraphChannel, kGraphChannels> channels() const;
    void accept() override;

private:
    Prompts& prompts_;
    std::array<QComboBox*, kGraphChannels> items_{};
    std::array<QLineEdit*, kGraphChannels> max_{}, min_{};
};

class GraphMonitorDialog : public QDialog {
    Q_OBJECT
public:
    GraphMonitorDialog(MonitorHost& host, QWidget* parent);
    ~GraphMonitorDialog() override;

    void start();
    void stop();
    void pause();
    void setChannels();
    void dimTime();
    void exportSamples();
    void importSamples();
    void savePicture(bool bmp);
    // The export and import behind the menu commands, once the file is chosen; the outcome is
    // shown.
    bool exportTo(const std::string& path, bool csv);
    bool importFrom(const std::string& path);

    bool recording() const;
    const monitor::GraphRecording& samples() const { return rec_; }
    monitor::GraphRecording& samples() { return rec_; }
    GraphView* view() const { return view_; }
    const monitor::PollScheduler& sampling() const { return *sampling_; }
    // Takes new channel settings (the project's, or an import's).
    void applyChannels(const std::array<GraphChannel, kGraphChannels>& channels);

protected:
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QAction* addCommand(const char* text, const QKeySequence& key, void (GraphMonitorDialog::*fn)());
    void showCount();

    MonitorHost& host_;
    LinkPollExecutor executor_;
    monitor::GraphRecording rec_;
    monitor::GraphSampler sampler_;
    monitor::SampleBlock block_;
    monitor::SampleContext ctx_;
    double sampleTime_ = 0;
    std::unique_ptr<monitor::PollScheduler> sampling_;
    QElapsedTimer clock_;
    GraphView* view_;
    QLabel* count_;
    QTimer* timer_;
    QTimer* repaint_;
    std::vector<QAction*> menuA_, menuB_;
    int station_ = 1;
};

}  // namespace pv::ui
