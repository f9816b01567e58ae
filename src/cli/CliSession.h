#pragma once
// What every parvolt-cli command that talks to one station holds while it runs: the terminal's
// prompts, the frame state, the project and the open link, with the station identified the way
// the desktop's Connect does it. Shared by the transfer, single-write and compare commands.

#include <cctype>
#include <cstdio>
#include <string_view>
#include <string>
#include <vector>

#include "app/FrameState.h"
#include "app/ProjectActions.h"
#include "cli/CliLinkOptions.h"
#include "cli/TerminalPrompts.h"
#include "comm/Connect.h"
#include "comm/ReadCommand.h"
#include "project/DataPaths.h"
#include "res/CommTexts.h"

namespace pv::cli {

// An option is written "N:label" or "label"; either the whole text or the label names it.
inline bool OptionMatches(const std::string& option, const std::string& value) {
    auto same = [](std::string_view a, std::string_view b) {
        if (a.size() != b.size() || a.empty()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(a[i])) !=
                std::tolower(static_cast<unsigned char>(b[i])))
                return false;
        return true;
    };
    if (same(option, value)) return true;
    const size_t colon = option.find(':');
    return colon != std::string::npos && same(std::string_view(option).substr(colon + 1), value);
}

// Takes a bare flag out of args; true when present.
inline bool takeFlag(std::vector<std::string>& args, const std::string& name) {
    for (auto it = args.begin(); it != args.end(); ++it)
        if (*it == name) {
            args.erase(it);
            return true;
        }
    return false;
}

inline bool takeStation(std::vector<std::string>& args, int& station, std::string& error) {
    std::string text;
    long value = 0;
    if (!TakeOption(args, "--station", text)) {
        error = "missing --station";
        return false;
    }
    if (!ParseNumber(text, value) || value < 1 || value > 32) {
        error = "--station must be 1..32";
        return false;
    }
    station = static_cast<int>(value);
    return true;
}

// Everything a command that talks to a station holds while it runs.
struct Session {
    TerminalPrompts prompts;
    FrameState frame;
    ProjectSession project{frame, prompts, DataDir()};
    OpenLink open;

    bool openLink(const LinkOptions& options) {
        std::string error;
        if (OpenLinkFromOptions(options, open, error)) return true;
        std::fprintf(stderr, "%s\n", error.c_str());
        return false;
    }
    // Identifies the station (and checks it against the open project's model). With
    // `listModelValues` the set values that the desktop's Connect replaces with the model's
    // initial values are listed, and kept: a script writes what its file says.
    bool connect(int station, bool listModelValues = false) {
        comm::ConnectRequest request;
        request.stations = {station};
        request.stationText = std::to_string(station);
        request.tcpIp = open.tcpIp;
        if (project.document()) request.projectModel = frame.modelCode;
        std::vector<comm::ReplacedValue> kept;
        std::uint32_t keptModel = 0;
        if (CM240Doc* doc = project.document(); doc && listModelValues)
            request.reloadInitialValues = [doc, &kept, &keptModel](std::uint32_t model) {
                kept = comm::ReloadModelValues(*doc, model);
                keptModel = model;
                for (const auto& r : kept)
                    if (ParamRecord* rec = doc->table.record(std::string_view(r.code)))
                        rec->setValue = r.before;
                return std::vector<comm::ReplacedValue>{};
            };
        const comm::LinkResult found = open.link.identify(prompts, request);
        open.link.apply(found);
        if (found.linked) {
            if (!kept.empty())
                prompts.message(comm::ReplacedValuesText(res::kKeptValuesHead, kept, keptModel));
            return true;
        }
        const std::string why = open.link.channel().lastFailure();
        if (!why.empty()) std::fprintf(stderr, "(%s)\n", why.c_str());
        return false;
    }
    comm::TransferContext context() {
        return open.link.context(prompts, *project.document(), frame.projectFacts());
    }
};

}  // namespace pv::cli
