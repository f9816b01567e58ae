#pragma once
// Identifying the drives of a freshly opened link (Connect), and the one-station link a program
// start with a hand-over file makes. Both run against an open channel and ask the user only
// through Prompts, so the desktop, the command line and the tests drive them alike.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "comm/LinkState.h"
#include "comm/SettingsFiles.h"
#include "comm/Transactions.h"
#include "res/Prompts.h"
#include "serial/CSerial.h"

namespace pv {
class CM240Doc;
}

namespace pv::comm {

// A set value of the project that Connect replaced with the model's initial value.
struct ReplacedValue {
    std::string code;  // "GG-NN"
    std::string before;
    std::string after;
};

struct ConnectRequest {
    std::vector<int> stations;  // parsed station list, in the order written
    std::string stationText;    // as typed; shown in the station pane
    // Model of the open project; without one the first station's model is taken and not
    // questioned.
    std::optional<std::uint32_t> projectModel;
    bool tcpIp = false;  // the link was opened on "TCPIP"
    // Reloads the model's initial parameter values into the project and refreshes the display;
    // returns the set values that changed, which Connect lists after "Link successful !".
    std::function<std::vector<ReplacedValue>(std::uint32_t modelCode)> reloadInitialValues;
    // Shows the link's status panes; called before "Link successful !" so the user reads the
    // drive's version and station while the message is up.
    std::function<void(const LinkPanes&)> showPanes;
    // Written to acomfile.ini once linked (nothing written when null).
    const CommSettings* settingsToSave = nullptr;
    SettingsLocation settingsLocation;
};

// Identifies every station of the request on `link` (already open), checks the first one
// against the project's model, and on success fills `state` and `panes` and returns true. On
// any failure the user has been told why, the link is closed and `state` is not linked.
bool Connect(serial::CSerial& link, Prompts& prompts, const ConnectRequest& request,
             LinkState& state, LinkPanes& panes);

// Connect's reload of the model's initial values into `doc` (defaults and set values): the set
// values it changed, in group and index order.
std::vector<ReplacedValue> ReloadModelValues(CM240Doc& doc, std::uint32_t modelCode);

// The list Connect shows of the replaced set values: `head` with its %n (how many) and %m (the
// model) filled in, then "GG-NN: old -> new" for the first kMaxListedReplacements, then how many
// more there are.
inline constexpr std::size_t kMaxListedReplacements = 30;
std::string ReplacedValuesText(const char* head, const std::vector<ReplacedValue>& replaced,
                               std::uint32_t modelCode);

// The start-up link to one station, without the series check: fills `state` (model code and
// voltage class from 13-00, version appended) and `panes`, and returns the model name through
// `modelName`. False after telling the user why.
bool StartupLink(serial::CSerial& link, Prompts& prompts, int station, LinkState& state,
                 LinkPanes& panes, std::string* modelName = nullptr);

// The check of a drive that Read, Write and auto refresh start with: 0x252F read and classified
// as a group read. False with the reason in `lastError`; `driveType` receives the type word.
bool CheckDriveType(serial::CSerial& link, int station, std::string& lastError,
                    std::uint16_t* driveType = nullptr);

}  // namespace pv::comm
