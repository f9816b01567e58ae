#include "monitor/ui/MonitorWindows.h"

#include "monitor/ui/GraphMonitorDialog.h"
#include "monitor/ui/KeypadDialog.h"
#include "monitor/ui/MonitorControlDialog.h"
#include "monitor/ui/MonitorStatusDialog.h"
#include "res/MonitorTexts.h"

namespace pv::ui {

namespace t = res::monitor::ui;

namespace {

template <typename D>
D* raise(D* d) {
    d->show();
    d->raise();
    d->activateWindow();
    return d;
}

}  // namespace

MonitorWindows::MonitorWindows(MonitorHost& host, QObject* parent)
    : QObject(parent), host_(host) {}

MonitorWindows::~MonitorWindows() {
    linkEnding();
    delete graph_;
}

void MonitorWindows::registerCommands(CommandTable& table) {
    auto linked = [this] { return host_.linked(); };
    struct Entry {
        CommandId id;
        const char* text;
        const char* tip;
        QKeySequence key;
        int order;
        std::function<void()> run;
        bool needsLink;
    };
    const Entry entries[] = {
        {CommandId::MonitorControl, t::kCmdMonitorControl, t::kTipMonitorControl,
         QKeySequence("Ctrl+Shift+M"), 60, [this] { openControl(); }, true},
        {CommandId::MonitorStatus, t::kCmdMonitorStatus, t::kTipMonitorStatus,
         QKeySequence("Ctrl+Shift+T"), 61, [this] { openStatus(); }, true},
        {CommandId::Keypad, t::kCmdKeypad, t::kTipKeypad, QKeySequence("Ctrl+Shift+K"), 62,
         [this] { openKeypad(); }, true},
        {CommandId::GraphMonitor, t::kCmdGraph, t::kTipGraph, QKeySequence("Ctrl+Shift+G"), 63,
         [this] { openGraph(); }, false},
    };
    for (const auto& e : entries) {
        Command c{e.id, e.text, e.key, e.tip};
        c.menu = Menu::Operation;
        c.menuOrder = e.order;
        c.run = e.run;
        if (e.needsLink) c.enabled = linked;
        table.add(c);
    }
}

MonitorControlDialog* MonitorWindows::openControl() {
    if (!control_) {
        if (!host_.linked()) return nullptr;
        control_ = new MonitorControlDialog(host_, *this, host_.hostWindow());
    }
    return raise(control_.data());
}

MonitorStatusDialog* MonitorWindows::openStatus() {
    if (!status_) {
        if (!host_.linked()) return nullptr;
        status_ = new MonitorStatusDialog(host_, *this, host_.hostWindow());
    }
    return raise(status_.data());
}

KeypadDialog* MonitorWindows::openKeypad() {
    if (!keypad_) {
        if (!host_.linked()) return nullptr;
        keypad_ = new KeypadDialog(host_, host_.hostWindow());
    }
    return raise(keypad_.data());
}

GraphMonitorDialog* MonitorWindows::openGraph() {
    if (!graph_) graph_ = new GraphMonitorDialog(host_, host_.hostWindow());
    return raise(graph_.data());
}

MonitorControlDialog* MonitorWindows::control() const {
    return control_;
}
MonitorStatusDialog* MonitorWindows::status() const {
    return status_;
}
KeypadDialog* MonitorWindows::keypad() const {
    return keypad_;
}
GraphMonitorDialog* MonitorWindows::graph() const {
    return graph_;
}

void MonitorWindows::linkEnding() {
    if (graph_) graph_->stop();
    // Deleting a window ends its poll first (its destructor waits for a running one).
    delete control_;
    delete status_;
    delete keypad_;
}

}  // namespace pv::ui
