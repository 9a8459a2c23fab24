#pragma once

#include "platform/syserror.h"

#include <cstdint>
#include <string>

namespace stampwell::platform {

// The attribute word with Windows' bit values, on every platform.
inline constexpr std::uint32_t kAttrReadOnly = 1;
inline constexpr std::uint32_t kAttrHidden = 2;
inline constexpr std::uint32_t kAttrSystem = 4;
inline constexpr std::uint32_t kAttrDirectory = 16;
inline constexpr std::uint32_t kAttrArchive = 32;

// Reads the item's attribute word (links not followed).
SysError ReadAttributes(const std::string& path, std::uint32_t& word);

// Writes the word; the Directory bit and bits the platform keeps by itself are
// not part of what is written.
SysError WriteAttributes(const std::string& path, std::uint32_t word);

} // namespace stampwell::platform
