#include "project/ModelDescriptions.h"

#include "project/TextFile.h"

namespace pv {

std::vector<ModelDescription> LoadModelDescriptions(const std::string& path) {
    const auto text = ReadWholeFile(path);
    if (!text) return {};
    return ParseModelDescriptions(*text);
}

std::vector<ModelDescription> ParseModelDescriptions(std::string_view text) {
    std::vector<ModelDescription> models;
    bool firstLineOfModel = false;
    ForEachLine(text, std::string_view::npos, [&](std::string_view raw) {
        const std::string_view line = Trim(raw);
        if (line.size() < 5) return true;
        if (line.substr(0, 5) == "TYPE:") {
            // The name stands between "TYPE:" and one closing character at the end.
            ModelDescription m;
            if (line.size() > 6) m.name = std::string(line.substr(5, line.size() - 6));
            models.push_back(std::move(m));
            firstLineOfModel = true;
            return true;
        }
        if (models.empty()) return true;
        auto& desc = models.back().description;
        if (firstLineOfModel) desc.clear();
        desc.append(line).append("\r\n");
        firstLineOfModel = false;
        return true;
    });
    return models;
}

}  // namespace pv
