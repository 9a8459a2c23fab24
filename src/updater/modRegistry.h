#pragma once

#include "updater/registry_key.h"

#include <string>

namespace stampupdate {

// The text of one value under root\subKey; "" when the key cannot be opened or
// the value is missing or unreadable.
std::string ReadRegistryText(RootKey root, const std::string& subKey, const std::string& valueName);

// The text of one value of an open key: a REG_SZ up to its first NUL; a
// REG_BINARY of up to 4 bytes as the decimal form of its first two bytes read as
// a signed 16-bit little-endian number (a longer one, never read past its first
// 4 bytes, gives ""); every other type and every failure gives "".
std::string QueryValueText(const RegistryKey& key, const std::string& valueName);

} // namespace stampupdate
