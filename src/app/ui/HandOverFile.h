#pragma once
// The one-shot hand-over file "curfile.ini" in the temporary folder, through which another
// program asks Parvolt at start-up to open a project (mode 1) or to connect to a drive (mode 2).
// Read once, then deleted, whatever it said.

#include <optional>
#include <string>

namespace pv::ui {

struct HandOver {
    int mode = 0;             // 0 nothing, 1 open a project, 2 connect; other values do nothing
    std::string projectPath;  // mode 1
    // Mode 2: the link settings as the settings dialog indexes them.
    int portNumber = 0;  // the number after the first three characters of "COM4"
    std::string portText;
    int baudIndex = 1;      // 0..5 = 4800, 9600, 19200, 38400, 1200, 2400
    int dataBitsIndex = 1;  // 0 = 7, 1 = 8
    int parityIndex = 2;    // 0 even, 1 odd, 2 none
    int stopBitsIndex = 1;  // 0 = 1, 1 = 2
    std::string stationText;
    int linkValue = 0;  // sixth line, kept with the link settings
    // Why the file was refused (a line that is no number where one belongs, or one beyond
    // range): the request is then not carried out and mode is 0. Empty when it was understood.
    std::string problem;
};

inline constexpr const char* kHandOverFileName = "curfile.ini";

// The hand-over file's full path in the temporary folder.
std::string HandOverPath();

// Parses the file's text; mode 0 for an empty text. Numbers are read whole: "2x", "COMx" or a
// value beyond the range of an int refuses the file with the reason in `problem`.
HandOver ParseHandOver(const std::string& text);

// Reads and deletes the file; nullopt when there is none.
std::optional<HandOver> TakeHandOverFile(const std::string& path);

}  // namespace pv::ui
