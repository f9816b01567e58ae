#pragma once
// The two communication settings files: acomfile.ini (line settings and station list) and
// kq4comfile.ini (port name and the named network adapters). Both live in the program's folder,
// or in the temporary folder when the program's folder cannot hold them; a file that is missing
// or unreadable leaves the defaults, silently.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pv::comm {

// Line settings held as the settings dialog numbers its choices.
struct CommSettings {
    int portNumber = 0;     // the number after "COM" minus one; -1 for "TCPIP"; 0 for no port
    int baudIndex = 1;      // 0 4800, 1 9600, 2 19200, 3 38400, 4 1200, 5 2400
    int dataBitsIndex = 1;  // 0 7 bits, 1 8 bits
    int parityIndex = 2;    // 0 even, 1 odd, 2 none
    int stopBitsIndex = 1;  // 0 one stop bit, 1 two
    std::string stationText;

    int baud() const;
    int dataBits() const;
    int parity() const;  // the value InitComm takes: 0 none, 1 odd, 2 even
    float stopBits() const;
};

// The index of a value, or -1 when the dialog has no such choice.
int BaudIndexOf(int baud);
int ParityIndexOf(int parity);
// The port number the settings keep for a port name: "COMn" gives n - 1, "TCPIP" -1, an empty
// name 0, a device path its trailing number (ttyUSB3 gives 3).
int PortNumberForName(const std::string& portName);

// The adapter list and selected port as kq4comfile.ini keeps them.
struct AdapterSettings {
    std::string portName;     // as shown in the port list, or "TCPIP"
    std::string adapterText;  // only with "TCPIP": the adapter shown in the dialog
    std::vector<std::pair<std::string, std::string>> adapters;  // MAC text, name ("" if none)
};

// Where the files are looked for: the program's folder first, then the temporary folder.
struct SettingsLocation {
    std::string programDir;
    std::string tempDir;
    // The running program's folder and the system's temporary folder.
    static SettingsLocation standard();
};

inline constexpr const char* kAcomFileName = "acomfile.ini";
inline constexpr const char* kKq4ComFileName = "kq4comfile.ini";

// True when a file was read (values it holds replace those in `settings`).
bool ReadAcomFile(const SettingsLocation& where, CommSettings& settings);
// True when written; the path used goes to `writtenPath` when given.
bool WriteAcomFile(const SettingsLocation& where, const CommSettings& settings,
                   std::string* writtenPath = nullptr);
bool ReadKq4ComFile(const SettingsLocation& where, AdapterSettings& settings);

// The parsers and writers behind the files, for text in memory. ParseAcomText replaces only the
// values the text holds; ParseKq4ComText is false (and leaves `settings`) for a text shorter than
// four characters.
void ParseAcomText(std::string_view text, CommSettings& settings);
std::string FormatAcomText(const CommSettings& settings);
bool ParseKq4ComText(std::string_view text, AdapterSettings& settings);
std::string FormatKq4ComText(const AdapterSettings& settings);
bool WriteKq4ComFile(const SettingsLocation& where, const AdapterSettings& settings,
                     std::string* writtenPath = nullptr);

}  // namespace pv::comm
