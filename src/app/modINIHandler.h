#pragma once

#include "platform/syserror.h"

#include <string>
#include <string_view>

// Value access to Stampwell.ini (Global().IniFile) and to the current language
// file (Global().LanguageFilePath). Values are read from the file each time.
namespace stampwell::app {

// The value of [section] key, or defaultValue when the file, the section or
// the key is missing. Values are read whole, whatever their length.
std::string ReadIni(std::string_view section, std::string_view key, std::string_view defaultValue);

// Sets [section] key, creating the file, the section and the key when
// missing; the rest of the file stays byte for byte. Callers may ignore the result.
platform::SysError WriteIni(std::string_view section, std::string_view key, std::string_view value);

// ReadIni on the current language file.
std::string ReadLang(std::string_view section, std::string_view key, std::string_view defaultValue);

// A stored flag: "True" in any case or a non-zero whole number is true;
// "False", "0", "" and anything else are false. A missing flag reads as "0".
bool IniFlag(std::string_view text);

// The default configuration file: 42 lines, each ended by CR LF, for a year
// and a date-time text.
std::string DefaultIniText(int year, std::string_view dateTimeText);

// Writes the default Stampwell.ini into folder, with the current year and the
// current local date-time; an existing file is replaced.
platform::SysError CreateDefaultIni(const std::string& folder);

} // namespace stampwell::app
