#pragma once
// Station lists as the user writes them: "1,3,5-12" — numbers and ranges, in the order written.

#include <string>
#include <vector>

#include "res/Prompts.h"

namespace pv::comm {

// Parses `text` into `stations`. True when valid (an empty text gives an empty list); otherwise
// `stations` is emptied and `message` holds the reason the user is shown.
bool ParseStationList(const std::string& text, std::vector<int>& stations, std::string& message);
// The same, showing the reason in a message box. 1 when valid, 0 after the message.
int ParseStationList(const std::string& text, std::vector<int>& stations, Prompts& prompts);

}  // namespace pv::comm
