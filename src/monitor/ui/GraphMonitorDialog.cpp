#include "monitor/ui/GraphMonitorDialog.h"

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>
#include <cmath>
#include <cstdlib>

#include "monitor/GraphFile.h"
#include "monitor/ui/GraphView.h"
#include "monitor/ui/MonitorHost.h"
#include "res/ExchangeTexts.h"
#include "res/MonitorTexts.h"
#include "res/UiTexts.h"

namespace pv::ui {

namespace t = res::monitor::ui;
namespace mt = res::monitor;

namespace {

constexpr int kSampleMs = 100;
constexpr const char* kSpanKey = "graph/span";

bool parseNumber(const QString& text, double& v) {
    bool ok = false;
    v = text.trimmed().toDouble(&ok);
    return ok && std::isfinite(v);
}

// "Set Time": the visible span as whole minutes and the remaining seconds.
class SetTimeDialog : public QDialog {
public:
    SetTimeDialog(double seconds, QWidget* parent) : QDialog(parent) {
        setObjectName("setTimeDialog");
        setWindowTitle(t::kSetTimeTitle);
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        const int total = static_cast<int>(std::lround(seconds));
        minutes_ = new QSpinBox(this);
        minutes_->setRange(0, 24 * 60);
        minutes_->setValue(total / 60);
        seconds_ = new QSpinBox(this);
        seconds_->setRange(0, 59);
        seconds_->setValue(total % 60);
        auto* grid = new QGridLayout;
        grid->addWidget(new QLabel(t::kTimeInterval, this), 0, 0);
        grid->addWidget(minutes_, 0, 1);
        grid->addWidget(new QLabel(t::kMinuteUnit, this), 0, 2);
        grid->addWidget(seconds_, 1, 1);
        grid->addWidget(new QLabel(t::kSecondUnit, this), 1, 2);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        auto* lay = new QVBoxLayout(this);
        lay->addLayout(grid);
        lay->addWidget(buttons);
    }
    double seconds() const { return std::max(1, minutes_->value() * 60 + seconds_->value()); }

private:
    QSpinBox* minutes_;
    QSpinBox* seconds_;
};

// "Export/Import Format": Excel or CSV. Returns 0 Excel, 1 CSV, -1 Cancel.
int chooseFormat(QWidget* parent) {
    QDialog d(parent);
    d.setObjectName("formatDialog");
    d.setWindowTitle(text::kFormatCaption);
    d.setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* excel = new QRadioButton(text::kFormatExcel, &d);
    auto* csv = new QRadioButton(text::kFormatCsv, &d);
    csv->setChecked(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &d);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &d, &QDialog::reject);
    auto* lay = new QVBoxLayout(&d);
    lay->addWidget(excel);
    lay->addWidget(csv);
    lay->addWidget(buttons);
    if (d.exec() != QDialog::Accepted) return -1;
    return csv->isChecked() ? 1 : 0;
}

}  // namespace

ChannelSettingsDialog::ChannelSettingsDialog(
    const std::array<GraphChannel, kGraphChannels>& channels, Prompts& prompts, QWidget* parent)
    : QDialog(parent), prompts_(prompts) {
    setObjectName("channelSettingsDialog");
    setWindowTitle(t::kChannelTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(t::kItem, this), 0, 1);
    grid->addWidget(new QLabel(t::kMax, this), 0, 2);
    grid->addWidget(new QLabel(t::kMin, this), 0, 3);
    for (int c = 0; c < kGraphChannels; ++c) {
        const auto k = static_cast<size_t>(c);
        auto* label = new QLabel(QString(t::kChannelLabel).arg(c + 1), this);
        label->setStyleSheet(QString("color: %1").arg(GraphView::colors()[k].name()));
        items_[k] = new QComboBox(this);
        items_[k]->setObjectName(QString("item%1").arg(c + 1));
        for (const auto& item : monitor::GraphItems())
            items_[k]->addItem(QString("%1 %2").arg(item.name, item.unit));
        items_[k]->setCurrentIndex(
            std::clamp(channels[k].selection, 0, monitor::kGraphItemCount - 1));
        max_[k] = new QLineEdit(QString::fromStdString(channels[k].maximum), this);
        min_[k] = new QLineEdit(QString::fromStdString(channels[k].minimum), this);
        max_[k]->setObjectName(QString("max%1").arg(c + 1));
        min_[k]->setObjectName(QString("min%1").arg(c + 1));
        grid->addWidget(label, c + 1, 0);
        grid->addWidget(items_[k], c + 1, 1);
        grid->addWidget(max_[k], c + 1, 2);
        grid->addWidget(min_[k], c + 1, 3);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* lay = new QVBoxLayout(this);
    lay->addLayout(grid);
    lay->addWidget(buttons);
}

std::array<GraphChannel, kGraphChannels> ChannelSettingsDialog::channels() const {
    std::array<GraphChannel, kGraphChannels> out{};
    for (int c = 0; c < kGraphChannels; ++c) {
        const auto k = static_cast<size_t>(c);
        out[k].selection = items_[k]->currentIndex();
        out[k].itemName = monitor::GraphItemAt(out[k].selection).name;
        out[k].maximum = max_[k]->text().trimmed().toStdString();
        out[k].minimum = min_[k]->text().trimmed().toStdString();
    }
    return out;
}

void ChannelSettingsDialog::accept() {
    for (int c = 0; c < kGraphChannels; ++c) {
        const auto k = static_cast<size_t>(c);
        double hi = 0, lo = 0;
        if (!parseNumber(max_[k]->text(), hi) || !parseNumber(min_[k]->text(), lo) || !(hi > lo)) {
            prompts_.message(mt::kMaxNotAboveMin);
            max_[k]->setFocus();
            max_[k]->selectAll();
            return;
        }
    }
    QDialog::accept();
}

GraphMonitorDialog::GraphMonitorDialog(MonitorHost& host, QWidget* parent)
    : QDialog(parent), host_(host), executor_(host.linkThread()) {
    setObjectName("graphMonitorDialog");
    setWindowTitle(mt::kGraphTitle);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);
    setAttribute(Qt::WA_DeleteOnClose);
    rec_.channels = host_.graphChannels();

    view_ = new GraphView(rec_, this);
    count_ = new QLabel(this);
    count_->setObjectName("sampleCount");
    auto* hint = new QLabel(this);
    hint->setText(t::kGraphHint);
    hint->setStyleSheet("color: gray");
    auto* row = new QHBoxLayout;
    row->addWidget(count_);
    row->addStretch();
    row->addWidget(hint);
    auto* lay = new QVBoxLayout(this);
    lay->addWidget(view_, 1);
    lay->addLayout(row);
    QSize size(900, 560);
    if (const QScreen* screen = parent ? parent->screen() : nullptr)
        size = size.boundedTo(screen->availableGeometry().size() * 0.9);
    resize(size);

    menuA_ = {addCommand(t::kSetMenu, QKeySequence("Ctrl+T"), &GraphMonitorDialog::setChannels),
              addCommand(t::kStartMenu, QKeySequence(Qt::Key_F5), &GraphMonitorDialog::start),
              addCommand(t::kStopMenu, QKeySequence("Shift+F5"), &GraphMonitorDialog::stop),
              addCommand(t::kDimTimeMenu, QKeySequence("Ctrl+D"), &GraphMonitorDialog::dimTime),
              addCommand(t::kExportMenu, QKeySequence("Ctrl+E"), &GraphMonitorDialog::exportSamples),
              addCommand(t::kImportMenu, QKeySequence("Ctrl+I"), &GraphMonitorDialog::importSamples)};
    menuB_ = {addCommand(t::kSaveBmpMenu, QKeySequence("Ctrl+S"), nullptr),
              addCommand(t::kSavePngMenu, QKeySequence("Ctrl+Shift+S"), nullptr),
              addCommand(t::kPauseMenu, QKeySequence(Qt::Key_Pause), &GraphMonitorDialog::pause),
              addCommand(t::kAutoscaleMenu, QKeySequence("Ctrl+A"), nullptr),
              addCommand(t::kResetViewMenu, QKeySequence(Qt::Key_Home), nullptr)};
    connect(menuB_[0], &QAction::triggered, this, [this] { savePicture(true); });
    connect(menuB_[1], &QAction::triggered, this, [this] { savePicture(false); });
    menuB_[3]->setCheckable(true);
    connect(menuB_[3], &QAction::toggled, view_, &GraphView::setAutoscale);
    connect(menuB_[4], &QAction::triggered, view_, &GraphView::follow);

    const double span = QSettings(ui_text::kSettingsOrganisation, ui_text::kSettingsApplication)
                            .value(kSpanKey, 60.0)
                            .toDouble();
    view_->setSpan(span);

    sampling_ = std::make_unique<monitor::PollScheduler>(
        executor_,
        [this](int st) {
            const auto r = sampler_.sample(host_.linkChannel(), st, block_, ctx_);
            sampleTime_ = clock_.elapsed() * 0.001;
            return r;
        },
        [this](const monitor::PollResult& r) {
            if (r.outcome == monitor::PollResult::Outcome::Ok) rec_.add(sampleTime_, block_, ctx_);
        },
        [this](const std::string& text) { host_.monitorPrompts().message(text); });
    sampling_->setPeriod(std::chrono::milliseconds(kSampleMs));
    timer_ = new QTimer(this);
    timer_->setInterval(kSampleMs / 10);  // fine ticks: a sample starts soon after its slot
    connect(timer_, &QTimer::timeout, this, [this] {
        sampling_->tick();
        if (!sampling_->running()) timer_->stop();
    });
    // The picture follows the samples at a steady rate, whatever the sampling does.
    repaint_ = new QTimer(this);
    repaint_->setInterval(kSampleMs);
    connect(repaint_, &QTimer::timeout, this, [this] {
        view_->update();
        showCount();
        if (!sampling_->running()) repaint_->stop();
    });
    showCount();
}

GraphMonitorDialog::~GraphMonitorDialog() {
    timer_->stop();
    sampling_->stop();
}

QAction* GraphMonitorDialog::addCommand(const char* text, const QKeySequence& key,
                                        void (GraphMonitorDialog::*fn)()) {
    auto* a = new QAction(text, this);
    a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
    addAction(a);
    if (fn) connect(a, &QAction::triggered, this, fn);
    return a;
}

void GraphMonitorDialog::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menuA_[1]->setEnabled(host_.linked());
    menuA_[2]->setEnabled(recording());
    menuB_[2]->setEnabled(recording());
    for (auto* a : menuA_) menu.addAction(a);
    menu.addSeparator();
    for (auto* a : menuB_) menu.addAction(a);
    menu.exec(event->globalPos());
}

bool GraphMonitorDialog::recording() const {
    return sampling_->running();
}

void GraphMonitorDialog::showCount() {
    count_->setText(QString(t::kSamplesStatus).arg(rec_.size()).arg(rec_.duration(), 0, 'f', 1));
}

void GraphMonitorDialog::start() {
    if (!host_.linked()) return;
    stop();
    const auto stations = host_.linkStations();
    sampling_->setStation(stations.empty() ? 1 : stations.front());
    rec_.clear();
    sampler_.reset();
    clock_.start();
    view_->follow();
    sampling_->start();
    timer_->start();
    repaint_->start();
    sampling_->tick();
}

void GraphMonitorDialog::stop() {
    timer_->stop();
    sampling_->stop();
    repaint_->stop();
    view_->update();
    showCount();
}

void GraphMonitorDialog::pause() {
    // The curves stay; Start records anew.
    stop();
}

void GraphMonitorDialog::closeEvent(QCloseEvent* event) {
    stop();
    event->accept();
}

void GraphMonitorDialog::applyChannels(const std::array<GraphChannel, kGraphChannels>& channels) {
    rec_.channels = channels;
    view_->update();
}

void GraphMonitorDialog::setChannels() {
    ChannelSettingsDialog d(rec_.channels, host_.monitorPrompts(), this);
    if (d.exec() != QDialog::Accepted) return;
    applyChannels(d.channels());
    host_.setGraphChannels(rec_.channels);
}

void GraphMonitorDialog::dimTime() {
    SetTimeDialog d(view_->span(), this);
    // Beside the graph: centred vertically, at four fifths of the window's width.
    d.adjustSize();
    const QPoint at = mapToGlobal(QPoint(width() * 4 / 5 - d.width() / 2, (height() - d.height()) / 2));
    d.move(at);
    if (d.exec() != QDialog::Accepted) return;
    view_->setSpan(d.seconds());
    QSettings(ui_text::kSettingsOrganisation, ui_text::kSettingsApplication)
        .setValue(kSpanKey, view_->span());
}

void GraphMonitorDialog::exportSamples() {
    stop();
    const int format = chooseFormat(this);
    if (format < 0) return;
    const bool csv = format == 1;
    FileQuestion q;
    q.kind = FileDialog::Save;
    q.caption = t::kExportMenu;
    q.filter = csv ? text::kExportCsvFilter : text::kExportExcelFilter;
    q.defaultName = csv ? "GraphData.csv" : mt::kGraphWorkbookName;
    if (const auto path = host_.monitorPrompts().chooseFile(q)) exportTo(*path, csv);
}

bool GraphMonitorDialog::exportTo(const std::string& path, bool csv) {
    std::string error;
    const bool ok = csv ? monitor::SaveGraphCsv(path, rec_)
                        : monitor::SaveGraphWorkbook(path, rec_, error);
    if (ok)
        host_.monitorPrompts().message(text::kExportSuccess);
    else
        host_.monitorPrompts().message(error.empty() ? std::string(text::kOpenFileFailed)
                                                     : std::string(text::kOpenFileFailed) + "\n" + error);
    return ok;
}

void GraphMonitorDialog::importSamples() {
    stop();
    FileQuestion q;
    q.kind = FileDialog::Open;
    q.caption = t::kImportMenu;
    q.filter = t::kImportFilter;
    if (const auto path = host_.monitorPrompts().chooseFile(q)) importFrom(*path);
}

bool GraphMonitorDialog::importFrom(const std::string& path) {
    stop();
    const bool csv = QFileInfo(QString::fromStdString(path)).suffix().toUpper() == "CSV";
    monitor::GraphRecording imported;
    std::string error;
    bool unreadable = false;
    const bool ok = csv ? monitor::LoadGraphCsv(path, imported, unreadable)
                        : monitor::LoadGraphWorkbook(path, imported, error);
    if (!ok) {
        host_.monitorPrompts().message(!csv ? error
                                       : unreadable ? text::kOpenFileFailed
                                                    : mt::kImportFileError);
        return false;
    }
    rec_ = std::move(imported);
    view_->setSpan(std::max(view_->span(), rec_.duration()));
    view_->follow();
    showCount();
    host_.monitorPrompts().message(text::kImportSuccess);
    return true;
}

void GraphMonitorDialog::savePicture(bool bmp) {
    FileQuestion q;
    q.kind = FileDialog::Save;
    q.caption = bmp ? t::kSaveBmpMenu : t::kSavePngMenu;
    q.filter = bmp ? t::kBmpFilter : t::kPngFilter;
    q.defaultName = bmp ? "Graph.bmp" : "Graph.png";
    const auto path = host_.monitorPrompts().chooseFile(q);
    if (!path) return;
    const QPixmap picture = view_->grab();
    if (!picture.save(QString::fromStdString(*path), bmp ? "BMP" : "PNG"))
        host_.monitorPrompts().message(mt::kPictureNotExist);
}

}  // namespace pv::ui
