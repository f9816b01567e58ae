#pragma once
// Everything a workflow asks or tells the user goes through this interface, so that Connect,
// Read, Write and the other workflows run the same whether a window, the command line or a test
// answers them. Implementations: Qt dialogs (desktop), flags + terminal (parvolt-cli), and a
// scripted recorder (tests).

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pv {

enum class YesNoCancel { Yes, No, Cancel };

// What the transfer-selection dialog returns: which parts of a drive to read or write.
struct TransferSelection {
    bool plcProgram = false;
    bool parameters = false;
    bool hiddenParameters = false;
    // Write only: send only what differs from the drive; read back what was written.
    bool changedOnly = false;
    bool verify = false;
    bool any() const { return plcProgram || parameters || hiddenParameters; }
};

// Which offers the transfer-selection dialog makes (the PLC box appears once PLC transfer exists).
struct TransferOffer {
    bool plcProgram = false;
    bool parameters = true;
    bool hiddenParameters = true;
    bool writeChecks = false;  // Write offers "changed only" and "verify"
};

enum class PasswordDialog {
    Enter,  // "Password": one hidden-text edit
    Set,    // "Set Password": "Password:" and "Repeat:"
    Alter,  // "Alter Password": "Current:", "New:", "Again:"
};

// Answer of a password dialog; fields unused by a dialog kind stay empty.
struct PasswordEntry {
    std::string current;  // Enter: the password; Alter: "Current:"
    std::string first;    // Set: "Password:"; Alter: "New:"
    std::string second;   // Set: "Repeat:"; Alter: "Again:"
};

// The checks a password dialog makes before it closes: the reason an entry is refused (the
// dialog stays open, shows it and lets the user type again), or nullopt to take the entry. The
// workflow supplies it, so a window, the terminal and a test refuse the same entries alike.
using PasswordCheck = std::function<std::optional<std::string>(const PasswordEntry&)>;

enum class StationDialog {
    Read,    // caption "Read", label "Station Num:"
    Select,  // caption "Station Select", label "Number:"
};

enum class FileDialog { Open, Save };

// The copy module's dialogs: "Copy Module" (group number, group name, port) before a write, the
// read dialog (group number, port) before a read.
enum class CopyModuleDialog { Write, Read };

// What the copy module's dialogs gather; also the values they open with.
struct CopyModuleChoice {
    int group = 1;     // the module's storage group, 0..255
    std::string name;  // the write only
    std::string port;  // one of the ports offered
};

// An open or save file question. `filter` is in the file dialog's own form, e.g.
// "CSV file (*.csv);;Excel file (*.xlsx *.xls)"; `defaultName` is the name offered.
struct FileQuestion {
    FileDialog kind = FileDialog::Open;
    std::string caption;
    std::string filter;
    std::string defaultName;
};

class Prompts {
public:
    virtual ~Prompts() = default;

    // A modal message box with one OK button.
    virtual void message(const std::string& text) = 0;
    // The program's own "Error" dialog (one OK button).
    virtual void error(const std::string& text) = 0;
    // The question dialog ("Message", OK and Cancel): true for OK.
    virtual bool question(const std::string& text) = 0;
    // A Yes/No/Cancel message box.
    virtual YesNoCancel yesNoCancel(const std::string& text) = 0;
    // A Yes/No message box: true for Yes.
    virtual bool yesNo(const std::string& text) = 0;
    // The same under a caption of its own ("MESSAGE:" for the ladder's delete-line question);
    // answers that show no captions ask yesNo().
    virtual bool yesNoCaptioned(const std::string& caption, const std::string& text) {
        (void)caption;
        return yesNo(text);
    }

    // Station choice among the link's stations; nullopt on Cancel.
    virtual std::optional<int> chooseStation(StationDialog kind,
                                             const std::vector<int>& stations) = 0;
    // A password dialog; nullopt on Cancel. Only an entry that `check` passes closes it with OK;
    // a refused one keeps it open with the reason shown.
    virtual std::optional<PasswordEntry> password(PasswordDialog kind,
                                                  const PasswordCheck& check) = 0;
    // Transfer-selection dialog; nullopt on Cancel.
    virtual std::optional<TransferSelection> chooseTransfer(const std::string& caption,
                                                            const TransferOffer& offer) = 0;

    // A file to open or to save to; nullopt on Cancel. A save question asks before replacing
    // an existing file.
    virtual std::optional<std::string> chooseFile(const FileQuestion& question) = 0;

    // Progress of a long operation. begin() opens it, end() closes it; cancelled() is polled
    // between transactions.
    virtual void progressBegin(const std::string& text, int rangeMin, int rangeMax) = 0;
    virtual void progressText(const std::string& text) = 0;
    virtual void progressRange(int rangeMin, int rangeMax) = 0;
    virtual void progressPosition(int position) = 0;
    virtual void progressEnd() = 0;
    virtual bool cancelled() = 0;

    // The copy module's write or read dialog over `ports`, opened with `initial`; nullopt on
    // Cancel.
    virtual std::optional<CopyModuleChoice> copyModule(CopyModuleDialog kind,
                                                       const std::vector<std::string>& ports,
                                                       const CopyModuleChoice& initial) = 0;

    // A list of parameters under a caption (columns "Code" and "Parameter Name", one OK button),
    // such as the motor parameters a Write left out. By default a message box with one line per
    // row; windows show a list.
    virtual void parameterList(const std::string& caption,
                               const std::vector<std::pair<std::string, std::string>>& rows) {
        std::string text = caption;
        for (const auto& [code, name] : rows) text += "\n" + code + " " + name;
        message(text);
    }
};

}  // namespace pv
