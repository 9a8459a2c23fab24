#pragma once

#include <string>

namespace stampwell::platform {

// The user's (roaming) application-data folder, without a trailing separator:
// Windows' FOLDERID_RoamingAppData; elsewhere $XDG_CONFIG_HOME, else
// ~/.config. "" when it cannot be found.
std::string AppDataFolder();

// The user's local state folder, without a trailing separator: Windows'
// FOLDERID_LocalAppData; elsewhere $XDG_STATE_HOME, else ~/.local/state.
// "" when it cannot be found.
std::string StateFolder();

// The process's current folder, without a trailing separator ("" when it
// cannot be told).
std::string CurrentFolder();

// Whether a path names its item without a current folder ("/x", "C:\x",
// "\\server\share").
bool IsAbsolutePath(const std::string& path);

// The folder that holds the running program, without a trailing separator.
std::string ProgramFolder();

} // namespace stampwell::platform
