#pragma once

#include <string>

// The program-wide state that start-up settles and every window reads. One
// instance for the whole program, owned here; other modules keep their own
// program-wide flags next to the code that owns them.
namespace stampwell::app {

struct GlobalState {
    std::string DataPath;         // the per-user data folder (…/Quillbox/Stampwell)
    std::string IniFile;          // DataPath + Stampwell.ini
    std::string CurrentLanguage;  // base name of the language file ("English"), may be ""
    std::string LanguageFilePath; // the current language file
    std::string ProgramFolder;    // the program's folder, without a trailing separator
    std::string LanguageFolder;   // where the language files are
    std::string TimeName1;        // the three time kinds in the current language:
    std::string TimeName2;        // creation, last write, last access
    std::string TimeName3;
};

GlobalState& Global();

} // namespace stampwell::app
