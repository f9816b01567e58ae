#pragma once
// A Prompts implementation that answers from a queue and records every text it was shown, in
// order. Tests use it to drive workflows and to pin the exact texts the user would see; the
// command line uses it with fixed answers for unattended runs.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "res/Prompts.h"

namespace pv {

class ScriptedPrompts : public Prompts {
public:
    // Every text shown, prefixed by its kind: "message: ", "error: ", "question: ",
    // "yesNoCancel: ", "yesNo: ", "station: ", "password: ", "transfer: ", "file: ", "copymodule: ", "progress: ",
    // "list: ", and "refused: " for the reason a password dialog gave while it stayed open.
    std::vector<std::string> shown;

    // Queued answers; when a queue is empty the default answer is used.
    std::deque<bool> questionAnswers;                              // default: defaultQuestion
    std::deque<YesNoCancel> yesNoCancelAnswers;                    // default: Cancel
    std::deque<bool> yesNoAnswers;                                 // default: defaultQuestion
    std::deque<std::optional<int>> stationAnswers;                 // default: first offered station
    // Entries typed into password dialogs, in order; a refused entry leaves the dialog open for
    // the next one.
    std::deque<std::optional<PasswordEntry>> passwordAnswers;      // default: Cancel
    std::deque<std::optional<TransferSelection>> transferAnswers;  // default: parameters only
    std::deque<std::optional<std::string>> fileAnswers;            // default: Cancel
    bool defaultQuestion = true;
    // Cancel the progress once the position reaches this value (-1: never).
    int cancelAtPosition = -1;

    // Progress as last reported.
    std::string progressLabel;
    int progressMin = 0, progressMax = 0, progressPos = 0;
    bool progressOpen = false;
    int progressPositions = 0;  // how many position updates were made

    void message(const std::string& text) override { shown.push_back("message: " + text); }
    void error(const std::string& text) override { shown.push_back("error: " + text); }
    bool question(const std::string& text) override {
        shown.push_back("question: " + text);
        return pop(questionAnswers, defaultQuestion);
    }
    YesNoCancel yesNoCancel(const std::string& text) override {
        shown.push_back("yesNoCancel: " + text);
        return pop(yesNoCancelAnswers, YesNoCancel::Cancel);
    }
    bool yesNo(const std::string& text) override {
        shown.push_back("yesNo: " + text);
        return pop(yesNoAnswers, defaultQuestion);
    }
    std::optional<int> chooseStation(StationDialog kind,
                                     const std::vector<int>& stations) override {
        shown.push_back(std::string("station: ") +
                        (kind == StationDialog::Read ? "Read" : "Station Select"));
        std::optional<int> fallback;
        if (!stations.empty()) fallback = stations.front();
        return pop(stationAnswers, fallback);
    }
    std::optional<PasswordEntry> password(PasswordDialog kind,
                                          const PasswordCheck& check) override {
        static const char* names[] = {"Password", "Set Password", "Alter Password"};
        shown.push_back(std::string("password: ") + names[static_cast<int>(kind)]);
        for (;;) {
            const auto entry = pop(passwordAnswers, std::optional<PasswordEntry>{});
            if (!entry) return entry;
            const auto problem = check ? check(*entry) : std::nullopt;
            if (!problem) return entry;
            shown.push_back("refused: " + *problem);
        }
    }
    std::optional<TransferSelection> chooseTransfer(const std::string& caption,
                                                    const TransferOffer&) override {
        shown.push_back("transfer: " + caption);
        TransferSelection params;
        params.parameters = true;
        return pop(transferAnswers, std::optional<TransferSelection>{params});
    }
    // The last file question asked.
    FileQuestion lastFile;
    std::optional<std::string> chooseFile(const FileQuestion& question) override {
        shown.push_back("file: " + question.caption);
        lastFile = question;
        return pop(fileAnswers, std::optional<std::string>{});
    }
    // Answers of the copy module's dialogs; default: the values it opened with.
    std::deque<std::optional<CopyModuleChoice>> copyModuleAnswers;
    std::optional<CopyModuleChoice> copyModule(CopyModuleDialog kind,
                                               const std::vector<std::string>&,
                                               const CopyModuleChoice& initial) override {
        shown.push_back(std::string("copymodule: ") +
                        (kind == CopyModuleDialog::Write ? "Write" : "Read"));
        return pop(copyModuleAnswers, std::optional<CopyModuleChoice>{initial});
    }
    // Rows of the last parameter list shown.
    std::vector<std::pair<std::string, std::string>> listRows;
    void parameterList(const std::string& caption,
                       const std::vector<std::pair<std::string, std::string>>& rows) override {
        shown.push_back("list: " + caption);
        listRows = rows;
    }
    void progressBegin(const std::string& text, int rangeMin, int rangeMax) override {
        progressOpen = true;
        progressText(text);
        progressRange(rangeMin, rangeMax);
    }
    void progressText(const std::string& text) override {
        progressLabel = text;
        shown.push_back("progress: " + text);
    }
    void progressRange(int rangeMin, int rangeMax) override {
        progressMin = rangeMin;
        progressMax = rangeMax;
    }
    void progressPosition(int position) override {
        progressPos = position;
        ++progressPositions;
    }
    void progressEnd() override { progressOpen = false; }
    bool cancelled() override { return cancelAtPosition >= 0 && progressPos >= cancelAtPosition; }

    // The shown texts of one kind, without their prefix.
    std::vector<std::string> texts(const std::string& kind) const {
        std::vector<std::string> out;
        const std::string prefix = kind + ": ";
        for (const auto& s : shown)
            if (s.rfind(prefix, 0) == 0) out.push_back(s.substr(prefix.size()));
        return out;
    }

private:
    template <typename T, typename D>
    static T pop(std::deque<T>& q, D fallback) {
        if (q.empty()) return T(fallback);
        T v = q.front();
        q.pop_front();
        return v;
    }
};

}  // namespace pv
