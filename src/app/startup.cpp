#include "app/startup.h"

#include "app/constants.h"
#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/modRegistry.h"
#include "platform/files.h"
#include "platform/folders.h"
#include "platform/userstore.h"
#include "support/clsSysInfo.h"
#include "support/modFSO.h"

namespace stampwell::app {

using support::BuildPath;
using support::FileExists;
using support::FolderExists;

std::string FindLanguageFolder(const std::string& programFolder) {
    const std::string beside = BuildPath(programFolder, std::string(kLanguageFolder));
    if (FolderExists(beside))
        return beside;
    std::string installed = BuildPath(programFolder, std::string(kInstalledLanguageFolder));
    if (FolderExists(installed))
        return installed;
    return beside;
}

void LocateProgramFolders() {
    GlobalState& global = Global();
    global.ProgramFolder = platform::ProgramFolder();
    global.LanguageFolder = FindLanguageFolder(global.ProgramFolder);
}

std::string LanguageFileFor(const std::string& languageName) {
    return BuildPath(Global().LanguageFolder, languageName + std::string(kLanguageExtension));
}

std::string DefaultIniFailureText(const std::string& folder, const platform::SysError& reason) {
    return std::string(kProductName) + " cannot create its settings file " +
           std::string(kIniFileName) + " in the folder\n\n" + folder +
           "\n\nReason: " + reason.text + "\n\n" + std::string(kProductName) +
           " goes on with the default settings; changes to them are not kept.";
}

std::string UnusableFileText(const std::string& path, const platform::SysError& reason) {
    return std::string(kProductName) + " cannot use the file\n\n" + path +
           "\n\nReason: " + reason.text + "\n\n" + std::string(kProductName) +
           " goes on with default values and leaves the file as it is.";
}

namespace {

// A file that is missing is no news; one that is there but cannot be read is.
void ReportIfUnusable(const std::string& path, const StartupHooks& hooks) {
    std::string bytes;
    if (path.empty() || !hooks.fileUnusable)
        return;
    if (const platform::SysError error = platform::ReadSettingsFile(path, bytes);
        error.Failed() && !platform::IsNotFound(error))
        hooks.fileUnusable(path, error);
}

} // namespace

void RunStartup(const StartupHooks& hooks) {
    GlobalState& global = Global();
    SaveSetting(kSettingsApplication, kSettingsSection, "BGColor", kBackgroundColour);

    const support::clsSysInfo sysInfo;
    global.DataPath = sysInfo.GetSpecialFolder(support::kCsidlAppData);
    // The first folder that could not be made is the reason a missing file cannot be written.
    platform::SysError folderError;
    for (const std::string_view part : {kFamilyFolder, kProductName}) {
        global.DataPath = BuildPath(global.DataPath, std::string(part));
        if (!FolderExists(global.DataPath)) {
            const platform::SysError error = support::MakeFolderPath(global.DataPath);
            if (!folderError.Failed())
                folderError = error;
        }
    }

    const std::string iniFile = BuildPath(global.DataPath, std::string(kIniFileName));
    if (!FileExists(iniFile)) {
        const platform::SysError error = CreateDefaultIni(global.DataPath);
        if (error.Failed()) {
            if (hooks.defaultIniFailed)
                hooks.defaultIniFailed(global.DataPath, folderError.Failed() ? folderError : error);
        }
    }
    global.IniFile = iniFile;
    ReportIfUnusable(iniFile, hooks);

    // The dialog stores the name as typed, blanks included; the name itself is without them.
    const auto storedLanguage = [] {
        const std::string text = ReadIni("Options", "Language", "");
        const std::size_t first = text.find_first_not_of(" \t");
        return first == std::string::npos
                   ? std::string()
                   : text.substr(first, text.find_last_not_of(" \t") - first + 1);
    };
    global.CurrentLanguage = storedLanguage();
    if (global.CurrentLanguage.empty() && hooks.askForLanguage) {
        const std::optional<std::string> chosen = hooks.askForLanguage();
        global.CurrentLanguage = storedLanguage();
        // A choice the file could not keep still holds for this run.
        if (global.CurrentLanguage.empty() && chosen)
            global.CurrentLanguage = *chosen;
    }
    global.LanguageFilePath = LanguageFileFor(global.CurrentLanguage);
    ReportIfUnusable(global.LanguageFilePath, hooks);

    ReportIfUnusable(platform::UserStoreFile(), hooks);
    WriteRegistryRecord(global.CurrentLanguage);
}

} // namespace stampwell::app
