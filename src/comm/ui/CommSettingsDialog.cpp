#include "comm/ui/CommSettingsDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "comm/StationList.h"
#include "comm/ui/AdapterDialogs.h"
#include "res/CopyModuleTexts.h"
#include "res/CommTexts.h"
#include "res/UiTexts.h"

namespace pv::ui {

namespace {
template <size_t N>
QGroupBox* radioGroup(QWidget* parent, const char* title, const std::array<const char*, N>& texts,
                      QButtonGroup* group, int checked, int columns) {
    auto* box = new QGroupBox(title, parent);
    auto* grid = new QGridLayout(box);
    for (int i = 0; i < int(N); ++i) {
        auto* b = new QRadioButton(texts[i], box);
        group->addButton(b, i);
        grid->addWidget(b, i / columns, i % columns);
    }
    if (auto* b = group->button(checked)) b->setChecked(true);
    return box;
}
}  // namespace

CommSettingsDialog::CommSettingsDialog(const comm::CommSettings& settings,
                                       const std::string& savedPort,
                                       const std::vector<std::string>& ports, bool linked,
                                       Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts), settings_(settings) {
    setObjectName("commSettingsDialog");
    setWindowTitle(ui_text::kCommCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    port_ = new QComboBox(this);
    // Editable, so a device the list cannot know (a virtual drive's pseudo-terminal) can be typed.
    port_->setEditable(true);
    port_->setInsertPolicy(QComboBox::NoInsert);
    for (const auto& p : ports) port_->addItem(QString::fromStdString(p));
    int selected = port_->findText(QString::fromStdString(savedPort));
    // A device typed last time (a virtual drive's pseudo-terminal, an adapter not plugged in
    // right now) is offered again rather than silently replaced by another port.
    if (selected < 0 && !savedPort.empty() && savedPort.front() == '/') {
        port_->addItem(QString::fromStdString(savedPort));
        selected = port_->count() - 1;
    }
    if (selected < 0) selected = port_->findText(ui_text::kPortSim);
    port_->setCurrentIndex(selected >= 0 ? selected : (port_->count() > 0 ? 0 : -1));

    // Adapters are found by the network discovery; until it runs the controls stay idle.
    adapter_ = new QComboBox(this);
    adapterButton_ = new QPushButton(res::kSearchIp, this);
    assign_ = new QPushButton(ui_text::kAssignIp, this);
    adapter_->setEnabled(false);
    adapterButton_->setEnabled(false);
    assign_->setEnabled(false);
    adapter_->setMinimumContentsLength(17);
    connect(adapter_, &QComboBox::currentIndexChanged, this, [this] { showAdapter(); });
    connect(adapterButton_, &QPushButton::clicked, this, &CommSettingsDialog::onAdapterButton);
    connect(assign_, &QPushButton::clicked, this, &CommSettingsDialog::onAssign);
    // Chosen from the list or typed: "TCPIP" searches either way.
    connect(port_, &QComboBox::currentTextChanged, this, [this] { onPortChanged(true); });

    baud_ = new QButtonGroup(this);
    dataBits_ = new QButtonGroup(this);
    parity_ = new QButtonGroup(this);
    stop_ = new QButtonGroup(this);
    auto* baudBox =
        radioGroup(this, ui_text::kCommBaud, ui_text::kBaudTexts, baud_, settings.baudIndex, 3);
    auto* dataBox = radioGroup(this, ui_text::kCommDataBits, ui_text::kDataBitTexts, dataBits_,
                               settings.dataBitsIndex, 2);
    // The data bits follow the settings file only.
    for (auto* b : dataBits_->buttons()) b->setEnabled(false);
    auto* parityBox = radioGroup(this, ui_text::kCommParity, ui_text::kParityTexts, parity_,
                                 settings.parityIndex, 3);
    auto* stopBox = radioGroup(this, ui_text::kCommStopBits, ui_text::kStopBitTexts, stop_,
                               settings.stopBitsIndex, 2);

    station_ = new QLineEdit(QString::fromStdString(settings.stationText), this);
    auto* hint = new QLabel(res::kStationHint, this);

    connect_ = new QPushButton(ui_text::kConnect, this);
    disconnect_ = new QPushButton(ui_text::kDisconnect, this);
    close_ = new QPushButton(ui_text::kClose, this);
    connect_->setDefault(true);
    connect(connect_, &QPushButton::clicked, this, &CommSettingsDialog::onConnect);
    connect(disconnect_, &QPushButton::clicked, this, &CommSettingsDialog::onDisconnect);
    connect(close_, &QPushButton::clicked, this, &QDialog::reject);

    auto* portBox = new QGroupBox(ui_text::kCommPort, this);
    auto* portLay = new QGridLayout(portBox);
    portLay->addWidget(port_, 0, 0, 1, 2);
    auto* adapterBox = new QGroupBox(ui_text::kCommAdapter, this);
    auto* adapterLay = new QGridLayout(adapterBox);
    adapterLay->addWidget(adapter_, 0, 0, 1, 2);
    adapterLay->addWidget(adapterButton_, 1, 0);
    adapterLay->addWidget(assign_, 1, 1);
    auto* stationBox = new QGroupBox(ui_text::kCommStation, this);
    auto* stationLay = new QVBoxLayout(stationBox);
    stationLay->addWidget(station_);
    stationLay->addWidget(hint);

    auto* grid = new QGridLayout;
    grid->addWidget(portBox, 0, 0);
    grid->addWidget(adapterBox, 0, 1);
    grid->addWidget(baudBox, 1, 0);
    grid->addWidget(dataBox, 1, 1);
    grid->addWidget(parityBox, 2, 0);
    grid->addWidget(stopBox, 2, 1);
    grid->addWidget(stationBox, 3, 0, 1, 2);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(connect_);
    buttons->addWidget(disconnect_);
    buttons->addWidget(close_);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(grid);
    lay->addLayout(buttons);
    setLinked(linked);
    // Most often only the stations are left to type.
    station_->setFocus();
}

void CommSettingsDialog::setLinked(bool linked) {
    linked_ = linked;
    connect_->setEnabled(!linked);
    disconnect_->setEnabled(linked);
    port_->setEnabled(!linked);
    if (!linked) hooks_.linkedAddress.clear();
    onPortChanged();
}

bool CommSettingsDialog::tcpChosen() const {
    return port_->currentText().trimmed() == res::kTcpIpPortName;
}

void CommSettingsDialog::setAdapterHooks(AdapterHooks hooks) {
    hooks_ = std::move(hooks);
    if (!linked_ && tcpChosen()) runAdapterSearch();
    onPortChanged();
}

void CommSettingsDialog::onPortChanged(bool search) {
    if (linked_) {
        // The link's own address, as it is open now; nothing to choose meanwhile.
        adapter_->setEnabled(false);
        assign_->setEnabled(false);
        adapterButton_->setEnabled(false);
        if (!hooks_.linkedAddress.empty()) {
            adapterButton_->setText(QString::fromStdString(hooks_.linkedAddress));
            adapterButton_->setToolTip(adapterButton_->text());
        }
        return;
    }
    const bool tcp = tcpChosen() && hooks_.search != nullptr;
    if (tcp && search) runAdapterSearch();
    assign_->setEnabled(tcp);
    adapterButton_->setEnabled(tcp);
    adapter_->setEnabled(tcp && !adapters_.empty());
}

void CommSettingsDialog::runAdapterSearch(const std::string& selectMac) {
    if (!hooks_.search) return;
    std::vector<comm::NetAdapter> found;
    hooks_.search(found);
    // Names typed here before this search stay with their adapters.
    for (auto& a : found)
        for (const auto& old : adapters_)
            if (old.mac == a.mac && !old.name.empty()) a.name = old.name;
    adapters_ = found;
    const QSignalBlocker block(adapter_);
    adapter_->clear();
    int selected = adapters_.empty() ? -1 : 0;
    for (int i = 0; i < static_cast<int>(adapters_.size()); ++i) {
        const auto& a = adapters_[i];
        adapter_->addItem(QString::fromStdString(a.mac));
        if (selectMac.empty() ? comm::AdapterDisplay(a) == hooks_.rememberedAdapter
                              : a.mac == selectMac)
            selected = i;
    }
    adapter_->setCurrentIndex(selected);
    showAdapter();
    adapter_->setEnabled(!adapters_.empty() && !linked_);
}

void CommSettingsDialog::showAdapter() {
    const int i = adapter_->currentIndex();
    const QString text = i >= 0 && i < static_cast<int>(adapters_.size())
                             ? QString::fromStdString(comm::AdapterDisplay(adapters_[i]))
                             : QString(res::kSearchIp);
    adapterButton_->setText(text);
    adapterButton_->setToolTip(text);
}

void CommSettingsDialog::onAdapterButton() {
    const int i = adapter_->currentIndex();
    if (i < 0 || i >= static_cast<int>(adapters_.size())) {
        runAdapterSearch();
        return;
    }
    comm::NetAdapter& a = adapters_[i];
    AdapterDialog d(a.ip, a.name, this);
    if (d.exec() != QDialog::Accepted) return;
    a.name = d.name();
    const std::string mac = a.mac;
    if (d.ip() != a.ip && hooks_.setIp) {
        if (!hooks_.setIp(d.ip(), mac)) {
            prompts_.message(res::kSetIpFailed);
            showAdapter();
            return;
        }
        runAdapterSearch(mac);
        return;
    }
    showAdapter();
}

void CommSettingsDialog::onAssign() {
    AssignAddressDialog d(this);
    if (d.exec() != QDialog::Accepted || !hooks_.setIp) return;
    const std::string mac = d.mac();
    if (!hooks_.setIp(d.ip(), mac)) {
        prompts_.message(res::kSetIpFailed);
        return;
    }
    // The adapter restarts on its new address before it answers again.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QEventLoop wait;
    QTimer::singleShot(hooks_.assignSettle, &wait, &QEventLoop::quit);
    wait.exec(QEventLoop::ExcludeUserInputEvents);
    QApplication::restoreOverrideCursor();
    runAdapterSearch(mac);
}

CommChoice CommSettingsDialog::choice() const {
    CommChoice c;
    c.portName = port_->currentText().trimmed().toStdString();
    c.settings = settings_;
    c.settings.baudIndex = std::max(0, baud_->checkedId());
    c.settings.dataBitsIndex = std::max(0, dataBits_->checkedId());
    c.settings.parityIndex = std::max(0, parity_->checkedId());
    c.settings.stopBitsIndex = std::max(0, stop_->checkedId());
    c.settings.stationText = station_->text().toStdString();
    c.settings.portNumber = comm::PortNumberForName(c.portName);
    c.stations = stations_;
    const int i = adapter_->currentIndex();
    if (c.portName == res::kTcpIpPortName && i >= 0 && i < static_cast<int>(adapters_.size()))
        c.adapter = adapters_[i];
    return c;
}

void CommSettingsDialog::onConnect() {
    CommChoice c = choice();
    if (c.settings.stationText.empty()) {
        prompts_.message(res::kStationNull);
        return;
    }
    if (!comm::ParseStationList(c.settings.stationText, c.stations, prompts_)) return;
    settings_ = c.settings;
    stations_ = c.stations;
    opened_ = openPort_ && openPort_(c);
    accept();
}

void CommSettingsDialog::onDisconnect() {
    if (closePort_) closePort_();
    setLinked(false);
}

}  // namespace pv::ui
