#pragma once

#include "platform/filetime.h"
#include "platform/posix/at.h"
#include "platform/syserror.h"

#include <cstdint>
#include <optional>

namespace stampwell::platform::posix {

// What NTFS keeps beyond POSIX, as the NTFS drivers (ntfs-3g, ntfs3) offer it
// through extended attributes. On any other file system these calls fail
// with ENOTSUP (or ENODATA).

// The creation time; ENOTSUP where the file system has none to set.
SysError ReadNtfsCreationTime(const At& item, FileTime& time);
SysError WriteNtfsCreationTime(const At& item, FileTime time);

// The Windows attribute word as NTFS keeps it.
SysError ReadNtfsAttributes(const At& item, std::uint32_t& word);
SysError WriteNtfsAttributes(const At& item, std::uint32_t word);

// NTFS keeps 100 ns ticks since 1601; a finer fraction is cut off (the
// caller's read-back sees the difference). Nothing before 1601 fits.
std::optional<std::uint64_t> ToNtfsTicks(FileTime time);
FileTime FromNtfsTicks(std::uint64_t ticks);

} // namespace stampwell::platform::posix
