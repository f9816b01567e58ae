#pragma once
// The model names and descriptions shown by the "Model Select" dialog, read from "N350.spe".

#include <string>
#include <string_view>
#include <vector>

namespace pv {

struct ModelDescription {
    std::string name;
    std::string description;  // lines joined with "\r\n" after each
    bool operator==(const ModelDescription&) const = default;
};

// Models in file order; a missing file gives an empty list.
std::vector<ModelDescription> LoadModelDescriptions(const std::string& path);
std::vector<ModelDescription> ParseModelDescriptions(std::string_view text);

}  // namespace pv
