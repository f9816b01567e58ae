#pragma once
// What the live drive windows need of the main window: the link thread and its channel, the
// link's stations, the project's frequency resolution and graph channels, and the prompts. The
// channel is touched only by jobs on the link thread.

#include <QWidget>
#include <array>
#include <vector>

#include "project/ProjectFrameItems.h"
#include "res/Prompts.h"
#include "serial/CSerial.h"
#include "widgets/LinkThread.h"

namespace pv::ui {

class MonitorHost {
public:
    virtual ~MonitorHost() = default;
    virtual QWidget* hostWindow() = 0;
    virtual LinkThread& linkThread() = 0;
    virtual serial::CSerial& linkChannel() = 0;
    virtual bool linked() const = 0;
    virtual std::vector<int> linkStations() const = 0;
    virtual bool highFrequencyMode() const = 0;
    virtual Prompts& monitorPrompts() = 0;
    virtual std::array<GraphChannel, kGraphChannels> graphChannels() const = 0;
    // Keeps new channel choices in the project (marks it modified when one is open).
    virtual void setGraphChannels(const std::array<GraphChannel, kGraphChannels>& channels) = 0;
};

}  // namespace pv::ui
