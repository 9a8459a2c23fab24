#pragma once

#include "platform/filetime.h"
#include "platform/syserror.h"

#include <optional>
#include <string>

namespace stampwell::platform {

// How an item is opened: Windows opens folders with backup semantics and
// files with exclusive sharing (a file another program holds open is left
// alone). Links are never followed: the link itself is the item.
enum class ItemType { File, Folder };

// The three times of one item.
struct ItemTimes {
    std::optional<FileTime> created; // absent where the file system keeps none
    FileTime modified;
    FileTime accessed;
};

// A change of some of the three times; an absent one keeps its exact value.
struct TimesUpdate {
    std::optional<FileTime> created;
    std::optional<FileTime> modified;
    std::optional<FileTime> accessed;
};

SysError ReadItemTimes(const std::string& path, ItemType type, ItemTimes& times);

// Writes the given times and nothing else. A creation time that the file
// system cannot store is a failure (ENOTSUP / ERROR_NOT_SUPPORTED).
SysError WriteItemTimes(const std::string& path, ItemType type, const TimesUpdate& update);

// Whether the file system that holds the item can store its creation time;
// the other two times can always be set. No for an item that cannot be
// reached. A link named last is followed, as a run follows it.
bool CreationTimeSettable(const std::string& path, ItemType type);

} // namespace stampwell::platform
