#include "app/modINIHandler.h"

#include "app/constants.h"
#include "app/ini.h"
#include "app/modGlobal.h"
#include "platform/files.h"
#include "platform/localtime.h"
#include "support/datetimetext.h"
#include "support/modFSO.h"

#include <charconv>

namespace stampwell::app {

std::string ReadIni(std::string_view section, std::string_view key, std::string_view defaultValue) {
    return ReadIniValue(Global().IniFile, section, key, defaultValue);
}

platform::SysError WriteIni(std::string_view section, std::string_view key,
                            std::string_view value) {
    return WriteIniValue(Global().IniFile, section, key, value);
}

std::string ReadLang(std::string_view section, std::string_view key,
                     std::string_view defaultValue) {
    return ReadIniValue(Global().LanguageFilePath, section, key, defaultValue);
}

bool IniFlag(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (text.size() == 4) {
        std::string lower(text);
        for (auto& c : lower)
            c = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        if (lower == "true")
            return true;
    }
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    long long number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size() && number != 0;
}

std::string DefaultIniText(int year, std::string_view dateTimeText) {
    const std::string product(kProductName);
    const std::string lines[] = {
        "",
        "",
        ";",
        "; Config file for " + product,
        ";     file name: " + std::string(kIniFileName),
        ";",
        ";     " + std::string(kMaker),
        ";     " + std::string(kMakerStreet),
        ";     " + std::string(kMakerTown),
        ";     " + std::string(kMakerCountry),
        ";     mailto:" + std::string(kMakerMail),
        ";",
        ";     Copyright (c) " + std::to_string(year) + " " + std::string(kMaker),
        ";     " + std::string(kHelpPage),
        ";",
        "",
        "[Options]",
        "Language=",
        "Path=",
        "SavePath=True",
        "SaveFilter=True",
        "SaveAttrib=True",
        "SaveTime=True",
        "WriteFileTime=False",
        "FolderTime=True",
        "FolderAttr=True",
        "Mode=0",
        "Recursive=True",
        "Filter=*.*",
        "Index=0",
        "Index1=0",
        "Index2=1",
        "Index3=0",
        "Exchange=False",
        "Attrib=0",
        "Archive=False",
        "ReadOnly=False",
        "System=False",
        "Hidden=False",
        "NewTime=" + std::string(dateTimeText),
        "SysTray=True",
        "",
    };
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

platform::SysError CreateDefaultIni(const std::string& folder) {
    const platform::LocalDateTime now = platform::ToLocal(platform::Now());
    return platform::WriteFileAtomically(
        support::BuildPath(folder, std::string(kIniFileName)),
        DefaultIniText(now.year, support::FormatDateTimeText(now)));
}

} // namespace stampwell::app
