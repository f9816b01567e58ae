#pragma once
// The live drive windows of one main window: Monitor Control, Monitor Status, the keypad and the
// graph monitor. Each is opened once and raised when asked again; each can open the others. Their
// commands go into the command table here.

#include <QObject>
#include <QPointer>

#include "monitor/ui/MonitorHost.h"
#include "widgets/CommandTable.h"

namespace pv::ui {

class MonitorControlDialog;
class MonitorStatusDialog;
class KeypadDialog;
class GraphMonitorDialog;

class MonitorWindows : public QObject {
    Q_OBJECT
public:
    explicit MonitorWindows(MonitorHost& host, QObject* parent = nullptr);
    ~MonitorWindows() override;

    void registerCommands(CommandTable& table);

    MonitorControlDialog* openControl();
    MonitorStatusDialog* openStatus();
    KeypadDialog* openKeypad();
    GraphMonitorDialog* openGraph();

    // The link is about to close: the windows that poll close (the graph stops recording and
    // keeps its samples); their polls have ended when this returns.
    void linkEnding();

    MonitorControlDialog* control() const;
    MonitorStatusDialog* status() const;
    KeypadDialog* keypad() const;
    GraphMonitorDialog* graph() const;

private:
    MonitorHost& host_;
    QPointer<MonitorControlDialog> control_;
    QPointer<MonitorStatusDialog> status_;
    QPointer<KeypadDialog> keypad_;
    QPointer<GraphMonitorDialog> graph_;
};

}  // namespace pv::ui
