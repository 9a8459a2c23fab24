#pragma once

#include "platform/itemtimes.h"
#include "platform/syserror.h"

#include <cstdint>
#include <string>
#include <windows.h>

// The steps behind times and attributes on one item, given as an open
// folder's handle and a single name in it (see at.h).
namespace stampwell::platform::win32 {

// The times as a handle reports them; a creation time of zero is the file
// system saying it keeps none.
ItemTimes TimesFromInfo(const BY_HANDLE_FILE_INFORMATION& info);

SysError WriteTimes(HANDLE folder, const std::string& name, ItemType type,
                    const TimesUpdate& update);

SysError WriteAttributeWord(HANDLE folder, const std::string& name, std::uint32_t word);

} // namespace stampwell::platform::win32
