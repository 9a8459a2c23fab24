#pragma once

#include "platform/syserror.h"

#include <string>
#include <string_view>

// The registry record Stampupdate reads ("Version" and "Language" under
// HKEY_CURRENT_USER\Software\Olvadi\Quillbox\Stampwell) and the per-user
// settings store (HKEY_CURRENT_USER\Software\<application>\<section>). Outside Windows both
// live in the user store's text file (platform/userstore.h).
namespace stampwell::app {

// Writes one text value under HKEY_CURRENT_USER\subKey, creating the key.
platform::SysError SaveStringValue(std::string_view subKey, std::string_view name,
                                   std::string_view text);

// Writes one value of the settings store.
platform::SysError SaveSetting(std::string_view application, std::string_view section,
                               std::string_view name, std::string_view value);

// The record's language: the first two characters of the language name in
// lower case, letters beyond ASCII too ("English" gives "en", "Ölsprache"
// gives "öl", "X" gives "x", "" gives "").
std::string RecordLanguage(std::string_view currentLanguage);

// Writes "Version" and then "Language"; failures are left to the caller to ignore.
platform::SysError WriteRegistryRecord(std::string_view currentLanguage);

} // namespace stampwell::app
