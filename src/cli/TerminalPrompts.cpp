#include "cli/TerminalPrompts.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <iostream>

namespace pv::cli {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;

extern "C" void onInterrupt(int) {
    gInterrupted = 1;
}

bool stdinIsTerminal() {
    return ::isatty(STDIN_FILENO) == 1;
}

}  // namespace

TerminalPrompts::TerminalPrompts() {
    barOnTerminal_ = ::isatty(STDERR_FILENO) == 1;
    gInterrupted = 0;
    std::signal(SIGINT, onInterrupt);
}

TerminalPrompts::~TerminalPrompts() {
    std::signal(SIGINT, SIG_DFL);
}

void TerminalPrompts::endBarLine() {
    if (!barOnLine_) return;
    std::fputc('\n', stderr);
    barOnLine_ = false;
}

void TerminalPrompts::message(const std::string& text) {
    endBarLine();
    std::fprintf(stderr, "%s\n", text.c_str());
    ++messages;
    lastMessage = text;
}

void TerminalPrompts::error(const std::string& text) {
    message("Error: " + text);
}

std::optional<char> TerminalPrompts::ask(const std::string& text, const char* choices) {
    if (!stdinIsTerminal()) return std::nullopt;
    for (;;) {
        std::fprintf(stderr, "%s [%s] ", text.c_str(), choices);
        std::fflush(stderr);
        std::string line;
        if (!std::getline(std::cin, line)) return std::nullopt;
        if (line.empty()) continue;
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(line[0])));
        for (const char* p = choices; *p; ++p)
            if (std::tolower(static_cast<unsigned char>(*p)) == c) return c;
    }
}

bool TerminalPrompts::question(const std::string& text) {
    // A question starts on a line of its own, never behind the bar.
    endBarLine();
    if (assumeYes) {
        std::fprintf(stderr, "%s [yes]\n", text.c_str());
        return true;
    }
    const auto a = ask(text, "y/n");
    if (!a)
        std::fprintf(stderr, "%s [no: not asked without a terminal; use --yes]\n", text.c_str());
    return a == 'y';
}

bool TerminalPrompts::yesNo(const std::string& text) {
    return question(text);
}

YesNoCancel TerminalPrompts::yesNoCancel(const std::string& text) {
    if (auto it = presetAnswers.find(text); it != presetAnswers.end()) return it->second;
    endBarLine();
    if (assumeYes) {
        std::fprintf(stderr, "%s [yes]\n", text.c_str());
        return YesNoCancel::Yes;
    }
    const auto a = ask(text, "y/n/c");
    if (!a) {
        std::fprintf(stderr, "%s [cancel: not asked without a terminal; use --yes]\n",
                     text.c_str());
        return YesNoCancel::Cancel;
    }
    return *a == 'y' ? YesNoCancel::Yes : *a == 'n' ? YesNoCancel::No : YesNoCancel::Cancel;
}

std::optional<int> TerminalPrompts::chooseStation(StationDialog, const std::vector<int>& stations) {
    if (station) return station;
    if (!stations.empty()) return stations.front();
    return std::nullopt;
}

std::optional<std::string> TerminalPrompts::askSecret(const std::string& label) {
    endBarLine();
    if (!stdinIsTerminal()) {
        // Without this the command would end with no word on why it was refused.
        std::fprintf(stderr, "%s [not asked without a terminal; use --password]\n", label.c_str());
        return std::nullopt;
    }
    termios old{};
    const bool haveTermios = ::tcgetattr(STDIN_FILENO, &old) == 0;
    if (haveTermios) {
        termios quiet = old;
        quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSANOW, &quiet);
    }
    std::fprintf(stderr, "%s ", label.c_str());
    std::fflush(stderr);
    std::string line;
    const bool ok = static_cast<bool>(std::getline(std::cin, line));
    if (haveTermios) ::tcsetattr(STDIN_FILENO, TCSANOW, &old);
    std::fputc('\n', stderr);
    if (!ok) return std::nullopt;
    return line;
}

std::optional<PasswordEntry> TerminalPrompts::password(PasswordDialog kind,
                                                       const PasswordCheck& check) {
    auto refusal = [&](const PasswordEntry& e) {
        auto problem = check ? check(e) : std::nullopt;
        if (problem) message(*problem);
        return problem.has_value();
    };
    if (auto it = passwords.find(kind); it != passwords.end()) {
        if (refusal(it->second)) return std::nullopt;
        return it->second;
    }
    for (;;) {
        auto e = askPassword(kind);
        if (!e || !refusal(*e)) return e;
    }
}

std::optional<PasswordEntry> TerminalPrompts::askPassword(PasswordDialog kind) {
    PasswordEntry e;
    std::optional<std::string> a, b, c;
    switch (kind) {
        case PasswordDialog::Enter:
            if (!(a = askSecret("Password:"))) return std::nullopt;
            e.current = *a;
            break;
        case PasswordDialog::Set:
            if (!(a = askSecret("Password:")) || !(b = askSecret("Repeat:"))) return std::nullopt;
            e.first = *a;
            e.second = *b;
            break;
        case PasswordDialog::Alter:
            if (!(a = askSecret("Current:")) || !(b = askSecret("New:")) ||
                !(c = askSecret("Again:")))
                return std::nullopt;
            e.current = *a;
            e.first = *b;
            e.second = *c;
            break;
    }
    return e;
}

std::optional<TransferSelection> TerminalPrompts::chooseTransfer(const std::string&,
                                                                 const TransferOffer& offer) {
    TransferSelection s = selection;
    s.plcProgram = s.plcProgram && offer.plcProgram;
    s.parameters = s.parameters && offer.parameters;
    s.hiddenParameters = s.hiddenParameters && offer.hiddenParameters;
    return s;
}

std::optional<std::string> TerminalPrompts::chooseFile(const FileQuestion&) {
    if (files.empty()) return std::nullopt;
    std::string name = files.front();
    files.erase(files.begin());
    return name;
}

std::optional<CopyModuleChoice> TerminalPrompts::copyModule(CopyModuleDialog,
                                                           const std::vector<std::string>&,
                                                           const CopyModuleChoice&) {
    return copyModuleChoice;
}

void TerminalPrompts::drawBar() {
    const int span = max_ > min_ ? max_ - min_ : 1;
    const int filled = std::max(0, std::min(30, (pos_ - min_) * 30 / span));
    std::fprintf(stderr, "\r[%.*s%*s] %3d%% %-40.40s", filled, "##############################",
                 30 - filled, "", (pos_ - min_) * 100 / span, progressLabel_.c_str());
    std::fflush(stderr);
    barOnLine_ = true;
}

void TerminalPrompts::progressBegin(const std::string& text, int rangeMin, int rangeMax) {
    min_ = rangeMin;
    max_ = rangeMax;
    pos_ = rangeMin;
    // A progress window opened again with the caption it already shows is the same window: the
    // caption is not printed a second time.
    const bool again = progressCaption_ && *progressCaption_ == text;
    progressCaption_ = text;
    if (again && !barOnTerminal_) {
        progressLabel_ = text;
        return;
    }
    progressText(text);
}

void TerminalPrompts::progressText(const std::string& text) {
    progressLabel_ = text;
    if (barOnTerminal_)
        drawBar();
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

void TerminalPrompts::progressRange(int rangeMin, int rangeMax) {
    min_ = rangeMin;
    max_ = rangeMax;
}

void TerminalPrompts::progressPosition(int position) {
    pos_ = position;
    if (barOnTerminal_) drawBar();
}

void TerminalPrompts::progressEnd() {
    endBarLine();
    progressCaption_.reset();
}

bool TerminalPrompts::cancelled() {
    return gInterrupted != 0;
}

void TerminalPrompts::parameterList(const std::string& caption,
                                    const std::vector<std::pair<std::string, std::string>>& rows) {
    endBarLine();
    std::fprintf(stderr, "%s\n", caption.c_str());
    for (const auto& [code, name] : rows)
        std::fprintf(stderr, "  %s  %s\n", code.c_str(), name.c_str());
}

}  // namespace pv::cli
