#pragma once
// The communication settings dialog: port (the machine's serial ports, "TCPIP" and "SIM" for
// the built-in virtual drive), line settings as radio groups, the station list, and the buttons
// Connect, Disconnect and Close. Opening and closing the port are the main frame's business (they
// run on the link thread); the dialog only gathers the choice and hands it over.

#include <QDialog>
#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm/NetAdapters.h"
#include "comm/SettingsFiles.h"
#include "res/Prompts.h"

class QButtonGroup;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace pv::ui {

struct CommChoice {
    std::string portName;  // as listed: "/dev/ttyUSB0", "TCPIP" or "SIM"
    comm::CommSettings settings;
    std::vector<int> stations;
    std::optional<comm::NetAdapter> adapter;  // with "TCPIP": the adapter chosen
};

// What the dialog's adapter controls need from the main frame: the search and the address
// change (each run on the link thread with the wait cursor), and what to show first.
struct AdapterHooks {
    // Fills the list (names attached); the number found, -1 when none answered.
    std::function<int(std::vector<comm::NetAdapter>&)> search;
    std::function<bool(const std::string& ip, const std::string& mac)> setIp;
    // The pause after an address given by MAC before the search runs again.
    std::chrono::milliseconds assignSettle{5000};
    std::string linkedAddress;      // non-empty while linked over TCP/IP
    std::string rememberedAdapter;  // the adapter shown last time ("IP(name)")
};

class CommSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // Opens the port for a choice; true when it opened (the frame tells the user otherwise).
    using OpenPort = std::function<bool(const CommChoice&)>;
    using ClosePort = std::function<void()>;

    CommSettingsDialog(const comm::CommSettings& settings, const std::string& savedPort,
                       const std::vector<std::string>& ports, bool linked, Prompts& prompts,
                       QWidget* parent = nullptr);

    void setOpenPort(OpenPort f) { openPort_ = std::move(f); }
    void setClosePort(ClosePort f) { closePort_ = std::move(f); }
    // Wires the adapter controls and, with "TCPIP" chosen and no link, runs the search.
    void setAdapterHooks(AdapterHooks hooks);
    // The adapters as the dialog holds them (with the names given here).
    const std::vector<comm::NetAdapter>& adapters() const { return adapters_; }

    // True once Connect opened the port.
    bool opened() const { return opened_; }
    // The choice as the controls show it, with the stations the last Connect parsed.
    CommChoice choice() const;

    QComboBox* portBox() const { return port_; }
    QLineEdit* stationEdit() const { return station_; }
    QPushButton* connectButton() const { return connect_; }
    QPushButton* disconnectButton() const { return disconnect_; }
    QPushButton* closeButton() const { return close_; }
    QButtonGroup* baudGroup() const { return baud_; }
    QButtonGroup* parityGroup() const { return parity_; }
    QButtonGroup* stopBitsGroup() const { return stop_; }
    QButtonGroup* dataBitsGroup() const { return dataBits_; }
    QComboBox* adapterBox() const { return adapter_; }
    QPushButton* adapterButton() const { return adapterButton_; }
    QPushButton* assignButton() const { return assign_; }
    // The adapter button's own actions (also for tests): the search, the change dialog (272)
    // and the assignment dialog (282).
    void runAdapterSearch(const std::string& selectMac = {});
    void onAdapterButton();
    void onAssign();

private:
    void onConnect();
    void onDisconnect();
    void setLinked(bool linked);
    // `search`: the port was just chosen (choosing "TCPIP" searches again).
    void onPortChanged(bool search = false);
    void showAdapter();
    bool tcpChosen() const;

    Prompts& prompts_;
    comm::CommSettings settings_;
    OpenPort openPort_;
    ClosePort closePort_;
    bool opened_ = false;
    std::vector<int> stations_;  // as parsed by the last Connect
    AdapterHooks hooks_;
    std::vector<comm::NetAdapter> adapters_;
    bool linked_ = false;

    QComboBox* port_;
    QComboBox* adapter_;
    QPushButton* adapterButton_;
    QPushButton* assign_;
    QButtonGroup* baud_;
    QButtonGroup* dataBits_;
    QButtonGroup* parity_;
    QButtonGroup* stop_;
    QLineEdit* station_;
    QPushButton* connect_;
    QPushButton* disconnect_;
    QPushButton* close_;
};

}  // namespace pv::ui
