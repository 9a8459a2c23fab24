#pragma once

#include <string_view>

// The fixed names and texts of Stampwell, in one place.
namespace stampwell::app {

inline constexpr std::string_view kProductName = "Stampwell";
inline constexpr std::string_view kFamilyFolder = "Quillbox";
inline constexpr std::string_view kIniFileName = "Stampwell.ini";
inline constexpr std::string_view kVersion = "3.01.00";

// The record Stampupdate reads, below HKEY_CURRENT_USER.
inline constexpr std::string_view kRegistryKey = "Software\\Olvadi\\Quillbox\\Stampwell";
// The per-user settings store: application and section.
inline constexpr std::string_view kSettingsApplication = "Stampwell";
inline constexpr std::string_view kSettingsSection = "Options";
// The background colour Stampwell records at every start: the system's button face colour.
inline constexpr std::string_view kBackgroundColour = "&H8000000F";

// The maker, as the header of the configuration file names it.
inline constexpr std::string_view kMaker = "Olvadi";
inline constexpr std::string_view kMakerStreet = "Lindenweg 12";
inline constexpr std::string_view kMakerTown = "12345 Quellstadt";
inline constexpr std::string_view kMakerCountry = "Germany";
inline constexpr std::string_view kMakerMail = "support@olvadi.example";
inline constexpr std::string_view kHelpPage = "https://www.olvadi.example/stampwell/help/";
// The maker's web address, as the about box shows it.
inline constexpr std::string_view kWebPage = "https://www.olvadi.example/";

// Language files: the folder beside the program, and where an installed build keeps them.
inline constexpr std::string_view kLanguageFolder = "lang";
inline constexpr std::string_view kInstalledLanguageFolder = "../share/stampwell/lang";
inline constexpr std::string_view kLanguageExtension = ".lng";

} // namespace stampwell::app
