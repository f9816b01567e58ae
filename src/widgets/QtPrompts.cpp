#include "widgets/QtPrompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <QThread>

#include "widgets/CopyModuleDialog.h"
#include "widgets/ParameterListDialog.h"
#include "widgets/PasswordDialog.h"
#include "widgets/StationDialog.h"
#include "widgets/TransferSelectDialog.h"
#include "res/UiTexts.h"
#include "widgets/MessageDialog.h"

namespace pv::ui {

QtPrompts::QtPrompts(QWidget* parentWindow)
    : QObject(parentWindow), parent_(parentWindow), progress_(new ProgressWindow(parentWindow)) {}

template <typename F>
auto QtPrompts::onUi(F f) -> decltype(f()) {
    using R = decltype(f());
    if (QThread::currentThread() == thread()) return f();
    if constexpr (std::is_void_v<R>) {
        QMetaObject::invokeMethod(this, f, Qt::BlockingQueuedConnection);
    } else {
        R result{};
        QMetaObject::invokeMethod(
            this, [&] { result = f(); }, Qt::BlockingQueuedConnection);
        return result;
    }
}

void QtPrompts::later(std::function<void()> f) {
    if (QThread::currentThread() == thread())
        f();
    else
        QMetaObject::invokeMethod(this, std::move(f), Qt::QueuedConnection);
}

int QtPrompts::exec(QDialog& dialog) {
    // A dialog over the progress window must not be hidden behind it.
    if (hook_ && hook_(dialog)) return dialog.result();
    return dialog.exec();
}

void QtPrompts::message(const std::string& text) {
    onUi([&] {
        QMessageBox box(QMessageBox::Information, ui_text::kProductName,
                        QString::fromStdString(text), QMessageBox::Ok, parent_);
        box.setObjectName("messageBox");
        exec(box);
    });
}

void QtPrompts::error(const std::string& text) {
    onUi([&] {
        MessageDialog d(MessageDialog::Kind::Error, QString::fromStdString(text), parent_);
        exec(d);
    });
}

bool QtPrompts::question(const std::string& text) {
    return onUi([&] {
        MessageDialog d(MessageDialog::Kind::Question, QString::fromStdString(text), parent_);
        return exec(d) == QDialog::Accepted;
    });
}

YesNoCancel QtPrompts::yesNoCancel(const std::string& text) {
    return onUi([&] {
        QMessageBox box(QMessageBox::Question, ui_text::kProductName, QString::fromStdString(text),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
        box.setObjectName("yesNoCancelBox");
        exec(box);
        const auto b = box.standardButton(box.clickedButton());
        return b == QMessageBox::Yes  ? YesNoCancel::Yes
               : b == QMessageBox::No ? YesNoCancel::No
                                      : YesNoCancel::Cancel;
    });
}

bool QtPrompts::yesNo(const std::string& text) {
    return yesNoCaptioned(ui_text::kProductName, text);
}

bool QtPrompts::yesNoCaptioned(const std::string& caption, const std::string& text) {
    return onUi([&] {
        QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                        QString::fromStdString(text),
                        QMessageBox::Yes | QMessageBox::No, parent_);
        box.setObjectName("yesNoBox");
        exec(box);
        return box.standardButton(box.clickedButton()) == QMessageBox::Yes;
    });
}

std::optional<int> QtPrompts::chooseStation(pv::StationDialog kind,
                                            const std::vector<int>& stations) {
    return onUi([&]() -> std::optional<int> {
        ui::StationDialog d(kind, stations, parent_);
        if (exec(d) != QDialog::Accepted || d.station() < 0) return std::nullopt;
        return d.station();
    });
}

std::optional<PasswordEntry> QtPrompts::password(pv::PasswordDialog kind,
                                                 const PasswordCheck& check) {
    // The check runs on this thread while the workflow waits for the answer on the link thread.
    return onUi([&]() -> std::optional<PasswordEntry> {
        ui::PasswordDialog d(kind, parent_);
        d.setCheck(check);
        if (exec(d) != QDialog::Accepted) return std::nullopt;
        return d.entry();
    });
}

std::optional<TransferSelection> QtPrompts::chooseTransfer(const std::string& caption,
                                                           const TransferOffer& offer) {
    return onUi([&]() -> std::optional<TransferSelection> {
        TransferSelectDialog d(QString::fromStdString(caption), offer, parent_);
        if (exec(d) != QDialog::Accepted) return std::nullopt;
        return d.selection();
    });
}

std::optional<std::string> QtPrompts::chooseFile(const FileQuestion& question) {
    return onUi([&]() -> std::optional<std::string> {
        QFileDialog d(parent_, QString::fromStdString(question.caption));
        d.setNameFilter(QString::fromStdString(question.filter));
        d.setAcceptMode(question.kind == FileDialog::Save ? QFileDialog::AcceptSave
                                                          : QFileDialog::AcceptOpen);
        d.setFileMode(question.kind == FileDialog::Save ? QFileDialog::AnyFile
                                                        : QFileDialog::ExistingFile);
        QSettings settings;
        const QString key = QStringLiteral("files/lastFolder");
        d.setDirectory(settings.value(key).toString());
        if (!question.defaultName.empty()) d.selectFile(QString::fromStdString(question.defaultName));
        if (exec(d) != QDialog::Accepted || d.selectedFiles().isEmpty()) return std::nullopt;
        const QString chosen = d.selectedFiles().front();
        settings.setValue(key, QFileInfo(chosen).absolutePath());
        return chosen.toStdString();
    });
}

std::optional<CopyModuleChoice> QtPrompts::copyModule(pv::CopyModuleDialog kind,
                                                      const std::vector<std::string>& ports,
                                                      const CopyModuleChoice& initial) {
    return onUi([&]() -> std::optional<CopyModuleChoice> {
        CopyModuleDialog d(kind, ports, initial, parent_);
        if (exec(d) != QDialog::Accepted) return std::nullopt;
        return d.choice();
    });
}

void QtPrompts::progressBegin(const std::string& text, int rangeMin, int rangeMax) {
    progress_->clearCancel();
    later([this, t = QString::fromStdString(text), rangeMin, rangeMax] {
        progress_->begin(t, rangeMin, rangeMax);
    });
}

void QtPrompts::progressText(const std::string& text) {
    later([this, t = QString::fromStdString(text)] { progress_->setText(t); });
}

void QtPrompts::progressRange(int rangeMin, int rangeMax) {
    later([this, rangeMin, rangeMax] { progress_->setRange(rangeMin, rangeMax); });
}

void QtPrompts::progressPosition(int position) {
    later([this, position] { progress_->setPosition(position); });
}

void QtPrompts::progressEnd() {
    later([this] { progress_->end(); });
}

bool QtPrompts::cancelled() {
    return progress_->cancelled();
}

}  // namespace pv::ui

namespace pv::ui {

void QtPrompts::parameterList(const std::string& caption,
                              const std::vector<std::pair<std::string, std::string>>& rows) {
    onUi([&] {
        ParameterListDialog d(QString::fromStdString(caption), rows, parent_);
        exec(d);
    });
}

}  // namespace pv::ui
