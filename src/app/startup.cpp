#include "app/startup.h"

#include "app/constants.h"
#include "app/modGlobal.h"
#include "app/modINIHandler.h"
#include "app/modRegistry.h"
#include "platform/folders.h"
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

    global.CurrentLanguage = ReadIni("Options", "Language", "");
    if (global.CurrentLanguage.empty() && hooks.askForLanguage) {
        const std::optional<std::string> chosen = hooks.askForLanguage();
        global.CurrentLanguage = ReadIni("Options", "Language", "");
        // A choice the file could not keep still holds for this run.
        if (global.CurrentLanguage.empty() && chosen)
            global.CurrentLanguage = *chosen;
    }
    global.LanguageFilePath = LanguageFileFor(global.CurrentLanguage);

    WriteRegistryRecord(global.CurrentLanguage);
}

} // namespace stampwell::app
