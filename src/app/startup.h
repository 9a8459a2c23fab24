#pragma once

#include "platform/syserror.h"

#include <functional>
#include <optional>
#include <string>

// Stampwell's start-up, up to the moment the main window is shown.
namespace stampwell::app {

// The program folder and the language folder beside it ("lang"), or for an
// installed build "../share/stampwell/lang" when there is no "lang" beside it.
void LocateProgramFolders();
std::string FindLanguageFolder(const std::string& programFolder);

// The language file of a language name.
std::string LanguageFileFor(const std::string& languageName);

struct StartupHooks {
    // Shows the language dialog modally; gives the name chosen with OK
    // (without blanks around it), or nothing when the dialog was closed otherwise.
    std::function<std::optional<std::string>()> askForLanguage;
    // Tells the user that the default configuration file could not be created
    // in folder, and why. Start-up then goes on with the defaults.
    std::function<void(const std::string& folder, const platform::SysError& reason)>
        defaultIniFailed;
    // Tells the user that the settings file, the registry record or the
    // language file is there but cannot be used (a pipe, a device, a folder,
    // too large, unreadable). Start-up goes on with defaults and leaves it alone.
    std::function<void(const std::string& path, const platform::SysError& reason)> fileUnusable;
};

// The message for a default configuration file that could not be created.
std::string DefaultIniFailureText(const std::string& folder, const platform::SysError& reason);

// The message for a file of ours that is there but cannot be used.
std::string UnusableFileText(const std::string& path, const platform::SysError& reason);

// In this order: records the background colour in the settings store; creates
// the data folder (application-data folder + Quillbox + Stampwell) where
// missing and writes the default Stampwell.ini where there is none; reads the
// language and asks for one when it is empty; writes the registry record.
// Files of ours that cannot be used are reported on the way.
// Fills DataPath, IniFile, CurrentLanguage and LanguageFilePath of Global();
// LanguageFolder must be set before.
void RunStartup(const StartupHooks& hooks);

} // namespace stampwell::app
