#pragma once
// Where the data files lie: the program's own folder when the parameter definitions are there,
// else ../share/parvolt/ relative to it (the installed layout). Tests and tools may override it.

#include <string>
#include <string_view>

namespace pv {

inline constexpr std::string_view kParamFileName = "N350PARAM.DAT";
inline constexpr std::string_view kOptionListFileName = "N350ComboxList.DAT";
inline constexpr std::string_view kCodeListFileName = "N350MOTORPARAM.DAT";
inline constexpr std::string_view kModelDefaultsFileName = "N350InitialParam.dat";
inline constexpr std::string_view kModelDescriptionsFileName = "N350.spe";

// Folder of the running program, with a trailing '/'.
std::string ProgramDir();
// The data folder with a trailing '/': the override if set, else the environment variable
// PARVOLT_DATA_DIR if set, else the program folder if it holds N350PARAM.DAT, else
// <program folder>/../share/parvolt/ if that holds it, else the program folder.
std::string DataDir();
// Set (non-empty) or clear (empty) the override.
void SetDataDirOverride(std::string dir);
// DataDir() + name.
std::string DataFile(std::string_view name);

}  // namespace pv
