#pragma once
// The desktop answers to a workflow's questions: message boxes, the "Error" and "Message"
// dialogs, the station, password and transfer-selection dialogs and the progress window.
// Workflows run on the link thread; every call made there is carried over to the user-interface
// thread and waits for the answer (a blocking queued call). Progress updates do not wait.

#include <QObject>
#include <QPointer>
#include <functional>

#include "res/Prompts.h"
#include "widgets/ProgressWindow.h"

class QWidget;

namespace pv::ui {

class QtPrompts : public QObject, public pv::Prompts {
    Q_OBJECT
public:
    explicit QtPrompts(QWidget* parentWindow);

    // Lets tests (and a scripted run) answer each modal dialog: the hook gets the dialog just
    // before it runs and may fill and close it; it returns true when it closed the dialog.
    using DialogHook = std::function<bool(QDialog&)>;
    void setDialogHook(DialogHook hook) { hook_ = std::move(hook); }

    void message(const std::string& text) override;
    void error(const std::string& text) override;
    bool question(const std::string& text) override;
    YesNoCancel yesNoCancel(const std::string& text) override;
    bool yesNo(const std::string& text) override;
    bool yesNoCaptioned(const std::string& caption, const std::string& text) override;
    std::optional<int> chooseStation(pv::StationDialog kind,
                                     const std::vector<int>& stations) override;
    std::optional<PasswordEntry> password(pv::PasswordDialog kind,
                                          const PasswordCheck& check) override;
    std::optional<TransferSelection> chooseTransfer(const std::string& caption,
                                                    const TransferOffer& offer) override;
    std::optional<std::string> chooseFile(const FileQuestion& question) override;
    std::optional<CopyModuleChoice> copyModule(pv::CopyModuleDialog kind,
                                               const std::vector<std::string>& ports,
                                               const CopyModuleChoice& initial) override;
    void progressBegin(const std::string& text, int rangeMin, int rangeMax) override;
    void progressText(const std::string& text) override;
    void progressRange(int rangeMin, int rangeMax) override;
    void progressPosition(int position) override;
    void progressEnd() override;
    bool cancelled() override;
    void parameterList(const std::string& caption,
                       const std::vector<std::pair<std::string, std::string>>& rows) override;

    ProgressWindow* progressWindow() const { return progress_; }
    // Runs a modal dialog through the dialog hook, so that a window's own dialogs are answered
    // by a script just like the prompts' dialogs.
    int exec(QDialog& dialog);

private:
    // Runs f on the user-interface thread and returns its result.
    template <typename F>
    auto onUi(F f) -> decltype(f());
    // Runs f on the user-interface thread without waiting.
    void later(std::function<void()> f);

    QPointer<QWidget> parent_;
    ProgressWindow* progress_;
    DialogHook hook_;
};

}  // namespace pv::ui
