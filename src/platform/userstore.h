#pragma once

#include "platform/syserror.h"

#include <optional>
#include <string>

namespace stampwell::platform {

// The per-user store of named text values under keys: the Windows registry
// under HKEY_CURRENT_USER (REG_SZ values); elsewhere one UTF-8 text file in
// regedit's export form, UserStoreFile(). Keys are given below
// HKEY_CURRENT_USER with '\' between their parts ("Software\\Olvadi").

// Writes one value, creating the key and any missing parent keys. In the text
// file every other key, value and line stays as it was.
SysError WriteUserString(const std::string& key, const std::string& name, const std::string& value);

// Reads one text value back; nothing when the key or the value is missing.
std::optional<std::string> ReadUserString(const std::string& key, const std::string& name);

// Removes a key with all its values and sub-keys (used to clean up after tests).
SysError RemoveUserKey(const std::string& key);

// Where the store lives: the text file's path, or "" for the Windows registry.
std::string UserStoreFile();

} // namespace stampwell::platform
