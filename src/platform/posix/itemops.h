#pragma once

#include "platform/itemtimes.h"
#include "platform/posix/at.h"
#include "platform/syserror.h"

#include <cstdint>
#include <optional>
#include <string>

// The steps behind times and attributes on one item, shared by the calls
// that take an open folder and a name and by those that take a path.
namespace stampwell::platform::posix {

// What statx must report for the steps below.
inline constexpr unsigned kStatMask =
    STATX_TYPE | STATX_MODE | STATX_INO | STATX_ATIME | STATX_MTIME | STATX_BTIME;

// The times from a statx of the item. The creation time is the one NTFS keeps
// (ntfs-3g reports it as no birth time), else the one stored in
// user.DOSATTRIB, else the birth time. `stored`, where given, holds what
// ReadAttributeWord found there, so the value is not read twice.
void TimesFromStatx(const At& item, const struct statx& info, ItemTimes& times,
                    const std::optional<std::string>* stored = nullptr);

SysError WriteTimes(const At& item, const TimesUpdate& update);

// The attribute word from a statx of the item (type and mode) and its
// extended attributes.
SysError ReadAttributeWord(const At& item, const struct statx& info, std::uint32_t& word,
                           std::optional<std::string>& stored);

SysError WriteAttributeWord(const At& item, std::uint32_t word);

// The creation time stored in user.DOSATTRIB as Samba stores it, where the
// file system has no settable one of its own; a time equal to the birth time
// takes the stored one away. Kept in 100 ns steps.
std::optional<FileTime> ReadStoredCreationTime(const At& item);
SysError WriteStoredCreationTime(const At& item, FileTime time);

// Whether the item's file system keeps user extended attributes.
bool HoldsUserAttributes(const At& item);

// The mode bits and the stored bytes as they were (nothing: none stored).
SysError RestoreAttributeStore(const At& item, std::uint32_t word, mode_t mode,
                               const std::optional<std::string>& stored);

} // namespace stampwell::platform::posix
