#pragma once
// Prompts for parvolt-cli: texts go to stderr, questions are answered by --yes or asked on the
// terminal (refused when there is none), the station, transfer choice and passwords come from the
// command's flags, and progress is a bar on a terminal or plain lines otherwise. Ctrl-C cancels a
// transfer cleanly between two transactions.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "res/Prompts.h"

namespace pv::cli {

class TerminalPrompts : public Prompts {
public:
    TerminalPrompts();
    ~TerminalPrompts() override;

    bool assumeYes = false;
    std::optional<int> station;
    TransferSelection selection;
    // Preset answers of the password dialogs, by kind; asked on the terminal when missing. A
    // preset the check refuses is told and ends the dialog (there is no one to type again); on
    // the terminal the reason is told and the entry asked again.
    std::map<PasswordDialog, PasswordEntry> passwords;
    // Answers given without asking, by the exact question text (e.g. "Save file?" -> No when
    // the command saves the project itself).
    std::map<std::string, YesNoCancel> presetAnswers;
    // The files a command named on its command line, handed out in order to the workflow's
    // file questions; a question with none left is a Cancel.
    std::vector<std::string> files;
    // The answer of the copy module's dialogs (storage group, name and port from the command
    // line); the ports offered do not limit it.
    std::optional<CopyModuleChoice> copyModuleChoice;
    // Number of texts shown through message() and error(), for the exit status.
    int messages = 0;
    std::string lastMessage;

    void message(const std::string& text) override;
    void error(const std::string& text) override;
    bool question(const std::string& text) override;
    YesNoCancel yesNoCancel(const std::string& text) override;
    bool yesNo(const std::string& text) override;
    std::optional<int> chooseStation(StationDialog kind, const std::vector<int>& stations) override;
    std::optional<PasswordEntry> password(PasswordDialog kind, const PasswordCheck& check) override;
    std::optional<TransferSelection> chooseTransfer(const std::string& caption,
                                                    const TransferOffer& offer) override;
    std::optional<std::string> chooseFile(const FileQuestion& question) override;
    std::optional<CopyModuleChoice> copyModule(CopyModuleDialog kind,
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

private:
    // y/n (and c for Cancel when allowed) from the terminal; nullopt without a terminal.
    std::optional<char> ask(const std::string& text, const char* choices);
    std::optional<std::string> askSecret(const std::string& label);
    std::optional<PasswordEntry> askPassword(PasswordDialog kind);
    void drawBar();
    // Ends the line the bar is drawn on, so that the next text starts a line of its own.
    void endBarLine();

    bool barOnTerminal_ = false;
    bool barOnLine_ = false;  // the cursor stands behind a drawn bar
    std::string progressLabel_;
    std::optional<std::string> progressCaption_;  // of the progress window while it is open
    int min_ = 0, max_ = 0, pos_ = 0;
};

}  // namespace pv::cli
